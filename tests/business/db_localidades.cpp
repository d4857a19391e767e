#include "business/consultas.h"
#include "business/localidades.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

using quill::LocalidadCache;

namespace {

const QString kConnection = QStringLiteral("d2-localidades");

class LocalidadesDb : public tiendaprueba::SuiteTienda<LocalidadesDb> {
public:
    static QString conexion() { return kConnection; }
    static QStringList filas() { return tiendaprueba::filasLocalidades(); }
};

} // namespace

// The rows as read: province names joined in, a missing province left empty, accents kept.
TEST_F(LocalidadesDb, LoadsLocalitiesWithTheirProvinces) {
    LocalidadCache cache;
    ASSERT_EQ(cache.load(kConnection), QString());
    EXPECT_TRUE(cache.isLoaded());
    EXPECT_EQ(cache.size(), 7);
    EXPECT_EQ(cache.provincias().size(), 4);
    const quill::Localidad* avila = cache.byId(4);
    ASSERT_NE(avila, nullptr);
    EXPECT_EQ(avila->descripcion, QStringLiteral("Ávila"));
    EXPECT_EQ(avila->codigoPostal, 5001);
    EXPECT_EQ(avila->idProvincia, 5);
    EXPECT_EQ(avila->provincia, QStringLiteral("Ávila"));
    ASSERT_NE(cache.byId(7), nullptr);
    EXPECT_EQ(cache.byId(7)->provincia, QString()); // province 77 does not exist
    EXPECT_EQ(cache.idsByName(QStringLiteral("ÁVILA")), QList<int>{4});
    EXPECT_EQ(cache.idsBetweenPostalCodes(-1, 8001), (QList<int>{1, 4}));
}

// The shared cache of a connection is read once per run, whoever asks.
TEST_F(LocalidadesDb, SharedCacheIsReadOnce) {
    const int before = quill::masterQueryCount();
    auto first = LocalidadCache::shared(kConnection);
    ASSERT_TRUE(first->isLoaded()) << first->error().toStdString();
    const int afterFirst = quill::masterQueryCount();
    EXPECT_EQ(afterFirst - before, 2); // provinces and localities
    auto second = LocalidadCache::shared(kConnection);
    EXPECT_EQ(second, first);
    for (int id = 0; id < 1000; ++id)
        second->byId(id % 8);
    EXPECT_EQ(quill::masterQueryCount(), afterFirst);

    // Forgetting it makes the next request read the tables again.
    LocalidadCache::dropShared(kConnection);
    auto third = LocalidadCache::shared(kConnection);
    EXPECT_NE(third, first);
    EXPECT_EQ(quill::masterQueryCount() - afterFirst, 2);
}
