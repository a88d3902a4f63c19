#include "lookup/arbol_codigos.h"

#include <algorithm>
#include <numeric>

namespace kl {

namespace {

const QString kClaveRaiz = QStringLiteral("A");

// The tree's own failures keep the numbers the module's tree control gives
// them, so the error log reads as it always has.
constexpr long kClaveRepetida = 35602;
constexpr long kNodoInexistente = 35601;

QString plegada(const QString& clave) {
    return clave.toCaseFolded();
}

// The code and description parts of a node's text: around its first "-".
struct PartesTexto {
    QStringView codigo;
    QStringView descripcion;
};

PartesTexto partesDe(const QString& texto) {
    const QStringView todo(texto);
    const qsizetype guion = todo.indexOf(u'-');
    if (guion < 0) return {todo.trimmed(), {}};
    return {todo.left(guion).trimmed(), todo.mid(guion + 1).trimmed()};
}

}  // namespace

ArbolCodigos::ArbolCodigos(QObject* parent) : QAbstractItemModel(parent) {}

void ArbolCodigos::setCasillas(bool casillas) {
    if (casillas == casillas_) return;
    beginResetModel();
    casillas_ = casillas;
    endResetModel();
}

void ArbolCodigos::vaciar() {
    beginResetModel();
    nodos_.clear();
    porClave_.clear();
    recorrido_.clear();
    endResetModel();
}

void ArbolCodigos::agregarRaiz() {
    nodos_.push_back(Nodo{kClaveRaiz, QStringLiteral("Consulta..."), -1, 0, {}, Qt::Unchecked});
    porClave_.insert(plegada(kClaveRaiz), kRaiz);
}

bool ArbolCodigos::armar(std::vector<FilaArbol> filas, const FailureNotice& aviso) {
    // Code order puts every prefix before the codes it begins, and with it
    // the nodes that hold a code's longest prefix on the path of the last
    // node added.
    std::vector<QString> ordenes(filas.size());
    for (size_t i = 0; i < filas.size(); ++i) ordenes[i] = plegada(filas[i].codigo);
    std::vector<size_t> orden(filas.size());
    std::iota(orden.begin(), orden.end(), size_t{0});
    std::stable_sort(orden.begin(), orden.end(),
                     [&](size_t a, size_t b) { return ordenes[a] < ordenes[b]; });

    beginResetModel();
    nodos_.clear();
    porClave_.clear();
    nodos_.reserve(filas.size() + 1);
    porClave_.reserve(static_cast<qsizetype>(filas.size() + 1));
    agregarRaiz();
    std::vector<int> camino{kRaiz};
    bool completo = true;
    for (size_t i : orden) {
        const FilaArbol& fila = filas[i];
        const StepOutcome resultado = runStep(
            [&]() -> StepResult {
                const int padre = padreDe(fila, camino);
                if (StepResult fallo = agregar(fila, padre)) return fallo;
                camino.push_back(cantidadNodos() - 1);
                return std::nullopt;
            },
            aviso);
        if (resultado == StepOutcome::Abandoned) {
            completo = false;
            break;
        }
    }
    ordenarRecorrido();
    endResetModel();
    return completo;
}

int ArbolCodigos::padreDe(const FilaArbol& fila, std::vector<int>& camino) const {
    if (fila.padre) return buscarClave(kClaveRaiz + *fila.padre);
    const QString clave = kClaveRaiz + fila.codigo;
    while (camino.size() > 1 &&
           !clave.startsWith(nodos_[static_cast<size_t>(camino.back())].clave, Qt::CaseInsensitive))
        camino.pop_back();
    return camino.back();
}

StepResult ArbolCodigos::agregar(const FilaArbol& fila, int padre) {
    const QString clave = kClaveRaiz + fila.codigo;
    if (padre < 0) {
        return RunError{kNodoInexistente,
                        QStringLiteral("No se encontró el elemento: falta el nodo padre \"%1\" de "
                                       "\"%2\".")
                            .arg(fila.padre.value_or(QString()), fila.codigo),
                        QStringLiteral("TreeView")};
    }
    const QString plegadaClave = plegada(clave);
    if (porClave_.contains(plegadaClave)) {
        return RunError{kClaveRepetida,
                        QStringLiteral("La clave no es única en la colección: el código \"%1\" "
                                       "está repetido.")
                            .arg(fila.codigo),
                        QStringLiteral("TreeView")};
    }
    const int nuevo = cantidadNodos();
    auto& hermanos = nodos_[static_cast<size_t>(padre)].hijos;
    const int filaEnPadre = static_cast<int>(hermanos.size());
    hermanos.push_back(nuevo);
    nodos_.push_back(Nodo{clave,
                          fila.codigo + QStringLiteral(" - ") + fila.descripcion,
                          padre,
                          filaEnPadre,
                          {},
                          Qt::Unchecked});
    porClave_.insert(plegadaClave, nuevo);
    return std::nullopt;
}

void ArbolCodigos::ordenarRecorrido() {
    recorrido_.clear();
    recorrido_.reserve(nodos_.size());
    if (nodos_.empty()) return;
    std::vector<int> pendientes{kRaiz};
    while (!pendientes.empty()) {
        const int nodo = pendientes.back();
        pendientes.pop_back();
        recorrido_.push_back(nodo);
        const auto& hijos = nodos_[static_cast<size_t>(nodo)].hijos;
        pendientes.insert(pendientes.end(), hijos.rbegin(), hijos.rend());
    }
}

QModelIndex ArbolCodigos::indiceDe(int nodo) const {
    if (nodo < 0 || nodo >= cantidadNodos()) return {};
    return createIndex(nodos_[static_cast<size_t>(nodo)].fila, 0, static_cast<quintptr>(nodo));
}

int ArbolCodigos::nodoDe(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    return static_cast<int>(index.internalId());
}

int ArbolCodigos::buscarClave(const QString& clave) const {
    return porClave_.value(plegada(clave), -1);
}

int ArbolCodigos::buscarPrefijo(QStringView prefijo) const {
    for (int nodo : recorrido_) {
        const PartesTexto partes = partesDe(nodos_[static_cast<size_t>(nodo)].texto);
        if (partes.codigo.startsWith(prefijo, Qt::CaseInsensitive) ||
            partes.descripcion.startsWith(prefijo, Qt::CaseInsensitive))
            return nodo;
    }
    return -1;
}

std::vector<int> ArbolCodigos::marcados() const {
    std::vector<int> resultado;
    for (int nodo : recorrido_)
        if (nodos_[static_cast<size_t>(nodo)].marca == Qt::Checked) resultado.push_back(nodo);
    return resultado;
}

void ArbolCodigos::marcar(int nodo, Qt::CheckState marca) {
    if (nodo < 0 || nodo >= cantidadNodos()) return;
    nodos_[static_cast<size_t>(nodo)].marca = marca;
    const QModelIndex propio = indiceDe(nodo);
    Q_EMIT dataChanged(propio, propio, {Qt::CheckStateRole});
    // One generation at a time; each parent's children are told as one range.
    std::vector<int> generacion{nodo};
    for (int nivel = 0; nivel < kGeneracionesMarcadas && !generacion.empty(); ++nivel) {
        std::vector<int> siguiente;
        for (int padre : generacion) {
            const auto& hijos = nodos_[static_cast<size_t>(padre)].hijos;
            if (hijos.empty()) continue;
            for (int hijo : hijos) nodos_[static_cast<size_t>(hijo)].marca = marca;
            Q_EMIT dataChanged(indiceDe(hijos.front()), indiceDe(hijos.back()),
                               {Qt::CheckStateRole});
            siguiente.insert(siguiente.end(), hijos.begin(), hijos.end());
        }
        generacion = std::move(siguiente);
    }
}

QModelIndex ArbolCodigos::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 && !nodos_.empty() ? indiceDe(kRaiz) : QModelIndex();
    const auto& hijos = nodos_[static_cast<size_t>(nodoDe(parent))].hijos;
    if (row >= static_cast<int>(hijos.size())) return {};
    return createIndex(row, 0, static_cast<quintptr>(hijos[static_cast<size_t>(row)]));
}

QModelIndex ArbolCodigos::parent(const QModelIndex& child) const {
    const int nodo = nodoDe(child);
    if (nodo <= kRaiz) return {};
    return indiceDe(nodos_[static_cast<size_t>(nodo)].padre);
}

int ArbolCodigos::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return nodos_.empty() ? 0 : 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(nodos_[static_cast<size_t>(nodoDe(parent))].hijos.size());
}

int ArbolCodigos::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ArbolCodigos::data(const QModelIndex& index, int role) const {
    const int nodo = nodoDe(index);
    if (nodo < 0) return {};
    const Nodo& n = nodos_[static_cast<size_t>(nodo)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return n.texto;
        case Qt::CheckStateRole:
            return casillas_ ? QVariant(static_cast<int>(n.marca)) : QVariant();
        default:
            return {};
    }
}

bool ArbolCodigos::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int nodo = nodoDe(index);
    if (nodo < 0 || role != Qt::CheckStateRole || !casillas_) return false;
    marcar(nodo, value.toInt() == Qt::Checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

Qt::ItemFlags ArbolCodigos::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace kl
