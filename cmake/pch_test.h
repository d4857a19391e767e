// Precompiled for the test programs: Qt Core and GoogleTest.
#pragma once
#include "pch.h"
#include <gtest/gtest.h>
