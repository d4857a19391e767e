// Precompiled for every library and test program: the Qt Core headers nearly every file reads.
#pragma once
#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
