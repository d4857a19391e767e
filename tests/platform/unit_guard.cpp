#include "platform/guard.h"

#include <gtest/gtest.h>

#include <QList>
#include <QPair>

using namespace quill;

namespace {

// Captures reports for the life of one test and restores the previous reporter.
struct CapturedReports {
    QList<QPair<QString, QString>> reports;
    ErrorReporter previous;
    CapturedReports() {
        previous = setErrorReporter([this](const QString& f, const QString& m) {
            reports.append({f, m});
        });
    }
    ~CapturedReports() { setErrorReporter(previous); }
};

struct Unknown {};

} // namespace

TEST(Guard, ReportsTheFunctionTextAndTheMessageOfEachKindOfFailure) {
    struct Case {
        const char* funcion;
        std::function<void()> fn;
        QString expected;
    };
    const QList<Case> cases = {
        {"tbnLimpiar -> OnClick", [] { throw Error(QStringLiteral("Falló la operación: ñ")); },
         QStringLiteral("Falló la operación: ñ")},
        {"ValoresIniciales", [] { throw std::runtime_error("fallo estándar"); },
         QStringLiteral("fallo estándar")},
        {"eriBoton -> ButtonClick", [] { throw Unknown{}; }, unknownErrorText()},
    };
    for (const Case& c : cases) {
        CapturedReports captured;
        EXPECT_FALSE(Guardar(QString::fromUtf8(c.funcion), c.fn)) << c.funcion;
        ASSERT_EQ(captured.reports.size(), 1) << c.funcion;
        EXPECT_EQ(captured.reports[0].first, QString::fromUtf8(c.funcion));
        EXPECT_EQ(captured.reports[0].second, c.expected);
    }
}

TEST(Guard, SuccessReportsNothingAndRunsTheFunctionOnce) {
    CapturedReports captured;
    int runs = 0;
    EXPECT_TRUE(Guardar(QStringLiteral("CrearObjetos"), [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(captured.reports.isEmpty());
}

TEST(Guard, AFailingReporterDoesNotEscapeTheGuard) {
    const ErrorReporter previous =
        setErrorReporter([](const QString&, const QString&) { throw std::runtime_error("x"); });
    bool result = true;
    EXPECT_NO_THROW(result = Guardar(QStringLiteral("Idioma"), [] { throw Error("fallo"); }));
    EXPECT_FALSE(result);
    setErrorReporter(previous);
}
