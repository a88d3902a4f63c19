#include "lookup/arbol_codigos.h"

#include <gtest/gtest.h>

namespace kl {
namespace {

// The tree as "key(child,child)" from the root down, children in order.
QString dibujo(const ArbolCodigos& arbol, int nodo = ArbolCodigos::kRaiz) {
    const QModelIndex indice = arbol.indiceDe(nodo);
    QString texto = arbol.clave(nodo);
    const int hijos = arbol.rowCount(indice);
    if (hijos == 0) return texto;
    QStringList partes;
    for (int fila = 0; fila < hijos; ++fila)
        partes << dibujo(arbol, arbol.nodoDe(arbol.index(fila, 0, indice)));
    return texto + u'(' + partes.join(u',') + u')';
}

std::vector<FilaArbol> filasDe(const QStringList& codigos) {
    std::vector<FilaArbol> filas;
    for (const QString& codigo : codigos)
        filas.push_back({codigo, QStringLiteral("D") + codigo, {}});
    return filas;
}

FailureNotice responde(int respuesta, QStringList* avisos = nullptr) {
    return [=](const RunError& e) {
        if (avisos) *avisos << QString::number(e.number) + u' ' + e.description;
        return respuesta;
    };
}

TEST(ArbolCodigos, HangsEachCodeUnderItsLongestExistingPrefix) {
    struct Caso {
        QStringList codigos;
        QString arbol;
    };
    const Caso casos[] = {
        {{"1", "12", "123", "2"}, "A(A1(A12(A123)),A2)"},
        {{"1", "11", "111", "12"}, "A(A1(A11(A111),A12))"},
        // A missing level hangs the code under the nearest one there is.
        {{"1", "1201", "2"}, "A(A1(A1201),A2)"},
        // Rows out of code order still find their parents.
        {{"123", "2", "12", "1"}, "A(A1(A12(A123)),A2)"},
        // Prefixes ignore letter case; the codes keep theirs.
        {{"ab", "A", "AbC"}, "A(AA(Aab(AAbC)))"},
        {{}, "A"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.codigos.join(u' ').toStdString());
        ArbolCodigos arbol;
        EXPECT_TRUE(arbol.armar(filasDe(caso.codigos), responde(answer::Abort)));
        EXPECT_EQ(dibujo(arbol), caso.arbol);
    }
}

TEST(ArbolCodigos, HangsFamiliesUnderTheParentTheirRowNames) {
    ArbolCodigos arbol;
    std::vector<FilaArbol> filas = {{"01", "Almacén", QString()},
                                    {"0101", "Aceites", QStringLiteral("01")},
                                    {"0102", "Conservas", QStringLiteral("01")},
                                    {"02", "Bebidas", QString()},
                                    {"0201", "Gaseosas", QStringLiteral("02")}};
    EXPECT_TRUE(arbol.armar(filas, responde(answer::Abort)));
    EXPECT_EQ(dibujo(arbol), "A(A01(A0101,A0102),A02(A0201))");
    EXPECT_EQ(arbol.texto(arbol.buscarClave("A0102")), "0102 - Conservas");
    EXPECT_EQ(arbol.texto(ArbolCodigos::kRaiz), "Consulta...");
}

TEST(ArbolCodigos, ReportsARepeatedCodeAndAMissingParentAndLeavesThemOut) {
    QStringList avisos;
    ArbolCodigos arbol;
    std::vector<FilaArbol> filas = {{"01", "a", QString()},
                                    {"01", "b", QString()},
                                    {"0301", "c", QStringLiteral("03")},
                                    {"02", "d", QString()}};
    EXPECT_TRUE(arbol.armar(filas, responde(answer::Ignore, &avisos)));
    EXPECT_EQ(dibujo(arbol), "A(A01,A02)");
    EXPECT_EQ(avisos,
              (QStringList{"35602 La clave no es única en la colección: el código \"01\" está "
                           "repetido.",
                           "35601 No se encontró el elemento: falta el nodo padre \"03\" de "
                           "\"0301\"."}));

    // Abort ends the build with what was added before the failure.
    ArbolCodigos cortado;
    EXPECT_FALSE(cortado.armar(filasDe({"1", "1", "2"}), responde(answer::Abort)));
    EXPECT_EQ(dibujo(cortado), "A(A1)");
}

TEST(ArbolCodigos, FindsTheFirstNodeInTreeOrderByCodeOrDescription) {
    ArbolCodigos arbol;
    arbol.armar({{"1", "ACTIVO", {}},
                 {"11", "Caja y bancos", {}},
                 {"12", "Créditos - clientes", {}},
                 {"2", "PASIVO", {}},
                 {"21", "Cargas fiscales", {}}},
                responde(answer::Abort));
    const struct {
        const char* texto;
        const char* clave;
    } casos[] = {
        {"ca", "A11"},       {"CAR", "A21"},        {"12", "A12"},
        {"2", "A2"},         {"clientes", nullptr},  // only the text after the first "-" counts
        {"créditos", "A12"}, {"con", "A"},          {"x", nullptr}};
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.texto);
        const int nodo = arbol.buscarPrefijo(QString::fromUtf8(caso.texto));
        EXPECT_EQ(nodo < 0 ? QString() : arbol.clave(nodo), QString::fromUtf8(caso.clave));
    }
}

TEST(ArbolCodigos, ACheckMarkSpreadsSixGenerationsDownAndNoFurther) {
    // A chain of eight levels: 1, 12, 123, ... 12345678.
    QStringList cadena;
    for (int nivel = 1; nivel <= 8; ++nivel) cadena << QStringLiteral("12345678").left(nivel);
    ArbolCodigos arbol;
    arbol.setCasillas(true);
    arbol.armar(filasDe(cadena), responde(answer::Abort));
    const auto codigosMarcados = [&arbol] {
        QStringList codigos;
        for (int nodo : arbol.marcados()) codigos << arbol.codigo(nodo);
        return codigos;
    };
    arbol.setData(arbol.indiceDe(arbol.buscarClave("A1")), Qt::Checked, Qt::CheckStateRole);
    // The eighth level lies seven generations below the first.
    EXPECT_EQ(codigosMarcados(),
              (QStringList{"1", "12", "123", "1234", "12345", "123456", "1234567"}));

    arbol.setData(arbol.indiceDe(arbol.buscarClave("A123")), Qt::Unchecked, Qt::CheckStateRole);
    // The ancestors keep their marks.
    EXPECT_EQ(codigosMarcados(), (QStringList{"1", "12"}));
}

}  // namespace
}  // namespace kl
