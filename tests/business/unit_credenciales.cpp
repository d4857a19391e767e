#include "business/credenciales.h"

#include <gtest/gtest.h>

using quill::CifrarCredencial;
using quill::DescifrarCredencial;

TEST(Credenciales, TheStoredFormHidesTheTextAndGivesItBack)
{
    for (const QString& texto : {QStringLiteral("usuario@óptica.es"), QStringLiteral("c0ntraseña ;'--"),
                                QStringLiteral("a"), QString(300, QLatin1Char('x'))}) {
        const QString almacenado = CifrarCredencial(texto);
        EXPECT_FALSE(almacenado.contains(texto)) << texto.toStdString();
        EXPECT_EQ(DescifrarCredencial(almacenado), texto);
    }
}

TEST(Credenciales, EmptyAndHandTypedValuesReadAsThemselves)
{
    EXPECT_TRUE(CifrarCredencial(QString()).isEmpty());
    EXPECT_TRUE(DescifrarCredencial(QString()).isEmpty());
    EXPECT_EQ(DescifrarCredencial(QStringLiteral("clave-escrita-a-mano")), QStringLiteral("clave-escrita-a-mano"));
    EXPECT_EQ(DescifrarCredencial(QStringLiteral("QC1:%%no-base64")), QStringLiteral("QC1:%%no-base64"));
}
