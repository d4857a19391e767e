#include "platform/modal.h"
#include "qtprint.h"

#include <gtest/gtest.h>

using namespace quill;

TEST(ScriptedModalTest, RecordsMessagesAndAnswersQuestionsFromItsQueue) {
    ScriptedModal modal;
    ScopedModal installed(modal);
    Modal& m = Modal::current();
    EXPECT_EQ(&m, &modal);

    m.message(QStringLiteral("AVISO"), QStringLiteral("No existen registros"), MessageIcon::Stop);
    modal.queueAnswers({true, false});
    const QString q = QStringLiteral("El Filtro Seleccionado ya existe, ¿Desea sobreescribirlo?");
    EXPECT_TRUE(m.question(QStringLiteral("AVISO"), q));
    EXPECT_FALSE(m.question(QStringLiteral("AVISO"), q));

    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].icon, MessageIcon::Stop);
    ASSERT_EQ(modal.questions().size(), 2);
    EXPECT_EQ(modal.questions()[0].text, q);
    EXPECT_TRUE(modal.questions()[0].answer);
    EXPECT_TRUE(modal.questions()[1].scripted);
}

TEST(ScriptedModalTest, FileChoosersAndDialogsFollowTheScript) {
    ScriptedModal modal;
    modal.queueFileName(QStringLiteral("/tmp/listado.xlsx"), 1);
    modal.queueFileName(QString());
    FileRequest save{QStringLiteral("Exportar"),
                     QStringLiteral("/tmp"),
                     {QStringLiteral("HTML (*.html)"), QStringLiteral("Excel (*.xlsx)")},
                     0,
                     QString()};
    EXPECT_EQ(modal.saveFileName(save), QStringLiteral("/tmp/listado.xlsx"));
    EXPECT_EQ(save.filterIndex, 1);
    FileRequest open{QStringLiteral("Abrir"), QString(), {}, 0, QString()};
    EXPECT_EQ(modal.openFileName(open), QString()) << "cancelled";
    ASSERT_EQ(modal.fileChoices().size(), 2);
    EXPECT_TRUE(modal.fileChoices()[0].save);

    QList<QWidget*> seen;
    QWidget* const fake = reinterpret_cast<QWidget*>(0x1);
    modal.queueDialog([&](QWidget* d) {
        seen << d;
        return 1;
    });
    EXPECT_EQ(modal.exec(fake), 1);
    EXPECT_EQ(modal.exec(fake), 0) << "no script: rejected";
    EXPECT_EQ(seen, QList<QWidget*>{fake});
    EXPECT_EQ(modal.dialogCount(), 2);
}

TEST(ModalTest, TheFallbackRefusesEverythingAndScopesRestore) {
    ScriptedModal outer;
    {
        ScopedModal a(outer);
        ScriptedModal inner;
        {
            ScopedModal b(inner);
            EXPECT_EQ(&Modal::current(), &inner);
        }
        EXPECT_EQ(&Modal::current(), &outer);
    }
    Modal& fallback = Modal::current();
    EXPECT_NE(&fallback, &outer);
    EXPECT_FALSE(fallback.question(QStringLiteral("AVISO"), QStringLiteral("¿Seguro?")));
    FileRequest r;
    EXPECT_EQ(fallback.saveFileName(r), QString());
    EXPECT_EQ(fallback.exec(nullptr), 0);
}
