#include "business/localidades.h"

#include <gtest/gtest.h>

using quill::Localidad;
using quill::LocalidadCache;

namespace {

// Three provinces, a name shared by two of them, postal codes with a leading zero.
LocalidadCache sampleCache() {
    LocalidadCache cache;
    cache.addProvincia({1, QStringLiteral("Álava")});
    cache.addProvincia({28, QStringLiteral("Madrid")});
    cache.addProvincia({46, QStringLiteral("Valencia")});
    cache.add({7, QStringLiteral("Vitoria-Gasteiz"), 1001, 1, QStringLiteral("Álava")});
    cache.add({3, QStringLiteral("Madrid"), 28001, 28, QStringLiteral("Madrid")});
    cache.add({9, QStringLiteral("Móstoles"), 28931, 28, QStringLiteral("Madrid")});
    cache.add({5, QStringLiteral("Villanueva"), 28000, 28, QStringLiteral("Madrid")});
    cache.add({2, QStringLiteral("VILLANUEVA"), 46001, 46, QStringLiteral("Valencia")});
    cache.add({11, QStringLiteral("Valencia"), 46001, 46, QStringLiteral("Valencia")});
    return cache;
}

} // namespace

TEST(LocalidadCache, ByIdAndProvince) {
    const LocalidadCache cache = sampleCache();
    const Localidad* l = cache.byId(7);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->codigoPostal, 1001);
    EXPECT_EQ(l->provincia, QStringLiteral("Álava"));
    EXPECT_EQ(cache.byId(404), nullptr);
    EXPECT_EQ(cache.size(), 6);
    EXPECT_EQ(cache.idsOfProvince(28), (QList<int>{3, 5, 9}));
    ASSERT_EQ(cache.provincias().size(), 3);
    EXPECT_EQ(cache.provincias().first().descripcion, QStringLiteral("Álava"));
    EXPECT_EQ(cache.provinceName(46), QStringLiteral("Valencia"));
}

TEST(LocalidadCache, ByNameFindsEveryMatchIgnoringCase) {
    const LocalidadCache cache = sampleCache();
    const struct {
        const char* nombre;
        QList<int> ids;
    } cases[] = {{"villanueva", {2, 5}}, {"  VILLANUEVA ", {2, 5}}, {"móstoles", {9}},
                 {"Mostoles", {}},       {"Villa", {}},             {"", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(cache.idsByName(QString::fromUtf8(c.nombre)), c.ids) << c.nombre;
}

TEST(LocalidadCache, PostalCodeRanges) {
    const LocalidadCache cache = sampleCache();
    struct Case {
        int lower, upper;
        QList<int> ids;
    };
    const Case cases[] = {
        {28001, 28001, {3}},           // one code
        {28000, 28931, {3, 5, 9}},     // both ends inclusive
        {28001, -1, {2, 3, 9, 11}},    // open above
        {-1, 28000, {5, 7}},           // open below
        {46001, 46001, {2, 11}},       // two localities share a code
        {30000, 40000, {}},            // nothing in between
        {28931, 28000, {}},            // bounds the wrong way round
    };
    for (const Case& c : cases)
        EXPECT_EQ(cache.idsBetweenPostalCodes(c.lower, c.upper), c.ids)
            << c.lower << ".." << c.upper;
}

// Replacing a locality must move it in every index, not leave a stale entry behind.
TEST(LocalidadCache, ReplacingMovesEveryIndex) {
    LocalidadCache cache = sampleCache();
    cache.add({5, QStringLiteral("Villanueva del Pardillo"), 28229, 46, QStringLiteral("x")});
    EXPECT_EQ(cache.idsByName(QStringLiteral("Villanueva")), QList<int>{2});
    EXPECT_EQ(cache.idsByName(QStringLiteral("villanueva del pardillo")), QList<int>{5});
    EXPECT_EQ(cache.idsBetweenPostalCodes(28000, 28000), QList<int>{});
    EXPECT_EQ(cache.idsBetweenPostalCodes(28229, 28229), QList<int>{5});
    EXPECT_EQ(cache.idsOfProvince(28), (QList<int>{3, 9}));
    EXPECT_EQ(cache.idsOfProvince(46), (QList<int>{2, 5, 11}));
}

TEST(LocalidadCache, SharedWithoutConnectionReportsAndIsNotKept) {
    auto cache = LocalidadCache::shared(QStringLiteral("no-existe"));
    ASSERT_NE(cache, nullptr);
    EXPECT_FALSE(cache->isLoaded());
    EXPECT_EQ(cache->size(), 0);
    EXPECT_TRUE(cache->error().startsWith(QStringLiteral("Error al leer")))
        << cache->error().toStdString();
    EXPECT_NE(LocalidadCache::shared(QStringLiteral("no-existe")), cache);
}
