#pragma once

// The hierarchy of codes the tree lookup shows: families, cost centres,
// tariff positions or accounts, whose codes grow by some characters a level.
//
// The whole tree is built in one pass and shown with one model reset, so a
// chart of a hundred thousand accounts comes up at once. Every node has a
// key, "A" followed by its code; the root has the key "A" alone and the
// text "Consulta...". With the codes 1, 11, 111 and 12 read from a
// statement:
//
//     Consulta...            key "A"
//     └ 1 - ACTIVO           key "A1"
//       ├ 11 - CORRIENTE     key "A11"
//       │ └ 111 - CAJA       key "A111"
//       └ 12 - NO CORRIENTE  key "A12"

#include "platform/runerror.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace kl {

// A row read for the tree: its code, its description and, when the
// statement names it, its parent's code (nullopt: the parent is found by the
// code's longest prefix among the nodes).
struct FilaArbol {
    QString codigo;
    QString descripcion;
    std::optional<QString> padre;
};

class ArbolCodigos : public QAbstractItemModel {
    Q_OBJECT

  public:
    static constexpr int kRaiz = 0;  // the root's node number

    explicit ArbolCodigos(QObject* parent = nullptr);

    // Nodes carry check boxes.
    void setCasillas(bool casillas);
    bool casillas() const { return casillas_; }

    // Removes every node, the root too.
    void vaciar();

    // Replaces the tree with the root and the rows, which may come in any
    // order: they are put in code order first, so every parent exists before
    // its children. A row whose key already exists, or whose given parent is
    // not in the tree, is handed to `aviso` as a failure: Retry tries it
    // again, Ignore leaves it out, any other answer ends the build with the
    // nodes added so far (and returns false).
    bool armar(std::vector<FilaArbol> filas, const FailureNotice& aviso);

    int cantidadNodos() const { return static_cast<int>(nodos_.size()); }
    QModelIndex indiceDe(int n) const;
    int nodoDe(const QModelIndex& index) const;
    // "A" + code; "A" for the root.
    QString clave(int n) const;
    // code + " - " + description; "Consulta..." for the root.
    QString texto(int n) const;
    // The key without its leading "A".
    QString codigo(int n) const { return nodo(n).codigo; }
    // The node of a key (letter case ignored), or -1.
    int buscarClave(const QString& clave) const;

    // The first node, in tree order, whose text's code (before the first
    // "-") or description (after it), trimmed, starts with `prefijo` in any
    // letter case; -1 when none does.
    int buscarPrefijo(QStringView prefijo) const;

    // The checked nodes in tree order.
    std::vector<int> marcados() const;
    // Marks the node and its descendants down to the sixth generation below
    // it; deeper ones and the ancestors keep their marks.
    void marcar(int n, Qt::CheckState marca);
    Qt::CheckState marca(int n) const { return nodo(n).marca; }

    // The model's interface.
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // How far below a checked node the mark spreads.
    static constexpr int kGeneracionesMarcadas = 6;

  private:
    // The texts are the rows' own (shared, not copied); keys and display
    // texts are put together when asked for, so a build allocates nothing
    // per node but what the vectors hold.
    struct Nodo {
        QString codigo;
        QString descripcion;
        int padre = -1;
        int fila = 0;        // its row among its parent's children
        int primerHijo = 0;  // where its children start in hijos_
        int cantidadHijos = 0;
        Qt::CheckState marca = Qt::Unchecked;
        bool guionEnCodigo = false;  // the text's first "-" lies inside the code
    };

    const Nodo& nodo(int n) const { return nodos_[static_cast<size_t>(n)]; }
    int hijo(int padre, int fila) const {
        return hijos_[static_cast<size_t>(nodo(padre).primerHijo + fila)];
    }
    // A row's node under `padre`, or the failure that keeps it out.
    StepResult agregar(const FilaArbol& fila, int padre);
    // The parent of a row: the node of its given parent's code, or the node
    // whose code is the longest prefix of the row's among `camino` (the
    // last node added and its ancestors, deepest last).
    int padreDe(const FilaArbol& fila, std::vector<int>& camino) const;
    // Lays out each node's children together, in the order they came.
    void enlazarHijos();
    void ordenarRecorrido();

    std::vector<Nodo> nodos_;
    std::vector<int> hijos_;
    std::vector<int> recorrido_;  // the nodes in tree order
    // Case-folded code -> node, filled up to the last node on first need:
    // only families name their parents, and only lookups by key ask.
    mutable QHash<QString, int> porCodigo_;
    mutable int indexados_ = 0;
    bool casillas_ = false;
};

}  // namespace kl
