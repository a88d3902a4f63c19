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

// Letters compared without regard to case: those of ASCII, which codes
// and most descriptions are made of, without a table lookup.
char32_t plegado(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 32 : c;
    return QChar(c).toCaseFolded().unicode();
}

// Compares as the texts' case-folded forms would.
int compararSinCaso(QStringView a, QStringView b) {
    const qsizetype comun = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < comun; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y) continue;
        const char32_t px = plegado(x);
        const char32_t py = plegado(y);
        if (px != py) return px < py ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool empiezaCon(QStringView parte, QStringView prefijo) {
    return parte.size() >= prefijo.size() &&
           compararSinCaso(parte.left(prefijo.size()), prefijo) == 0;
}

// The code and description parts of a node's text: around its first "-".
struct PartesTexto {
    QStringView codigo;
    QStringView descripcion;
};

PartesTexto partesDe(QStringView texto) {
    const qsizetype guion = texto.indexOf(u'-');
    if (guion < 0) return {texto.trimmed(), {}};
    return {texto.left(guion).trimmed(), texto.mid(guion + 1).trimmed()};
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
    hijos_.clear();
    recorrido_.clear();
    porCodigo_.clear();
    indexados_ = 0;
    endResetModel();
}

bool ArbolCodigos::armar(std::vector<FilaArbol> filas, const FailureNotice& aviso) {
    // Code order puts every prefix before the codes it begins, and with it
    // the node that holds a code's longest prefix on the path of the last
    // node added. Rows read with ORDER BY are in that order already.
    const auto antes = [&filas](size_t a, size_t b) {
        return compararSinCaso(filas[a].codigo, filas[b].codigo) < 0;
    };
    std::vector<size_t> orden(filas.size());
    std::iota(orden.begin(), orden.end(), size_t{0});
    if (!std::is_sorted(orden.begin(), orden.end(), antes))
        std::stable_sort(orden.begin(), orden.end(), antes);

    beginResetModel();
    nodos_.clear();
    porCodigo_.clear();
    indexados_ = 0;
    nodos_.reserve(filas.size() + 1);
    nodos_.push_back(Nodo{});  // the root
    std::vector<int> camino{kRaiz};
    const FilaArbol* fila = nullptr;
    const Step paso = [&]() -> StepResult {
        if (StepResult fallo = agregar(*fila, padreDe(*fila, camino))) return fallo;
        camino.push_back(cantidadNodos() - 1);
        return std::nullopt;
    };
    bool completo = true;
    for (size_t i : orden) {
        fila = &filas[i];
        // The notice is asked only about a row that failed; it decides
        // whether that row is tried again.
        if (paso() && runStep(paso, aviso) == StepOutcome::Abandoned) {
            completo = false;
            break;
        }
    }
    enlazarHijos();
    ordenarRecorrido();
    endResetModel();
    return completo;
}

int ArbolCodigos::padreDe(const FilaArbol& fila, std::vector<int>& camino) const {
    if (fila.padre) return fila.padre->isEmpty() ? kRaiz : buscarClave(kClaveRaiz + *fila.padre);
    while (camino.size() > 1 && !empiezaCon(fila.codigo, nodo(camino.back()).codigo))
        camino.pop_back();
    return camino.back();
}

StepResult ArbolCodigos::agregar(const FilaArbol& fila, int padre) {
    if (padre < 0) {
        return RunError{kNodoInexistente,
                        QStringLiteral("No se encontró el elemento: falta el nodo padre \"%1\" de "
                                       "\"%2\".")
                            .arg(fila.padre.value_or(QString()), fila.codigo),
                        QStringLiteral("TreeView")};
    }
    // In code order a repeated code follows the node it repeats, the last
    // one added; an empty code would repeat the root's key.
    const int anterior = cantidadNodos() - 1;
    if (fila.codigo.isEmpty() ||
        (anterior != kRaiz && compararSinCaso(nodo(anterior).codigo, fila.codigo) == 0)) {
        return RunError{kClaveRepetida,
                        QStringLiteral("La clave no es única en la colección: el código \"%1\" "
                                       "está repetido.")
                            .arg(fila.codigo),
                        QStringLiteral("TreeView")};
    }
    nodos_.push_back(Nodo{fila.codigo, fila.descripcion, padre, 0, 0, 0, Qt::Unchecked,
                          fila.codigo.contains(u'-')});
    return std::nullopt;
}

void ArbolCodigos::enlazarHijos() {
    for (Nodo& n : nodos_) n.cantidadHijos = 0;
    for (size_t i = 1; i < nodos_.size(); ++i)
        ++nodos_[static_cast<size_t>(nodos_[i].padre)].cantidadHijos;
    int inicio = 0;
    for (Nodo& n : nodos_) {
        n.primerHijo = inicio;
        inicio += n.cantidadHijos;
        n.cantidadHijos = 0;
    }
    hijos_.assign(nodos_.size() > 0 ? nodos_.size() - 1 : 0, 0);
    for (size_t i = 1; i < nodos_.size(); ++i) {
        Nodo& padre = nodos_[static_cast<size_t>(nodos_[i].padre)];
        nodos_[i].fila = padre.cantidadHijos++;
        hijos_[static_cast<size_t>(padre.primerHijo + nodos_[i].fila)] = static_cast<int>(i);
    }
}

void ArbolCodigos::ordenarRecorrido() {
    recorrido_.clear();
    recorrido_.reserve(nodos_.size());
    if (nodos_.empty()) return;
    std::vector<int> pendientes{kRaiz};
    while (!pendientes.empty()) {
        const int n = pendientes.back();
        pendientes.pop_back();
        recorrido_.push_back(n);
        for (int fila = nodo(n).cantidadHijos - 1; fila >= 0; --fila)
            pendientes.push_back(hijo(n, fila));
    }
}

QString ArbolCodigos::clave(int n) const {
    return kClaveRaiz + nodo(n).codigo;
}

QString ArbolCodigos::texto(int n) const {
    if (n == kRaiz) return QStringLiteral("Consulta...");
    return nodo(n).codigo + QStringLiteral(" - ") + nodo(n).descripcion;
}

QModelIndex ArbolCodigos::indiceDe(int n) const {
    if (n < 0 || n >= cantidadNodos()) return {};
    return createIndex(nodo(n).fila, 0, static_cast<quintptr>(n));
}

int ArbolCodigos::nodoDe(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return -1;
    return static_cast<int>(index.internalId());
}

int ArbolCodigos::buscarClave(const QString& clave) const {
    if (!clave.startsWith(kClaveRaiz, Qt::CaseInsensitive)) return -1;
    if (clave.size() == kClaveRaiz.size()) return nodos_.empty() ? -1 : kRaiz;
    for (; indexados_ < cantidadNodos(); ++indexados_)
        if (indexados_ != kRaiz)
            porCodigo_.insert(nodo(indexados_).codigo.toCaseFolded(), indexados_);
    return porCodigo_.value(clave.mid(kClaveRaiz.size()).toCaseFolded(), -1);
}

int ArbolCodigos::buscarPrefijo(QStringView prefijo) const {
    const auto empieza = [prefijo](QStringView parte) { return empiezaCon(parte, prefijo); };
    for (int n : recorrido_) {
        const Nodo& esta = nodo(n);
        // The text's first "-" follows the code unless the code has one.
        if (n == kRaiz || esta.guionEnCodigo) {
            const QString todo = texto(n);
            const PartesTexto partes = partesDe(todo);
            if (empieza(partes.codigo) || empieza(partes.descripcion)) return n;
        } else if (empieza(QStringView(esta.codigo).trimmed()) ||
                   empieza(QStringView(esta.descripcion).trimmed())) {
            return n;
        }
    }
    return -1;
}

std::vector<int> ArbolCodigos::marcados() const {
    std::vector<int> resultado;
    for (int n : recorrido_)
        if (nodo(n).marca == Qt::Checked) resultado.push_back(n);
    return resultado;
}

void ArbolCodigos::marcar(int n, Qt::CheckState marca) {
    if (n < 0 || n >= cantidadNodos()) return;
    nodos_[static_cast<size_t>(n)].marca = marca;
    const QModelIndex propio = indiceDe(n);
    Q_EMIT dataChanged(propio, propio, {Qt::CheckStateRole});
    // One generation at a time; each parent's children are told as one range.
    std::vector<int> generacion{n};
    for (int nivel = 0; nivel < kGeneracionesMarcadas && !generacion.empty(); ++nivel) {
        std::vector<int> siguiente;
        for (int padre : generacion) {
            const int cantidad = nodo(padre).cantidadHijos;
            if (cantidad == 0) continue;
            for (int fila = 0; fila < cantidad; ++fila) {
                const int h = hijo(padre, fila);
                nodos_[static_cast<size_t>(h)].marca = marca;
                siguiente.push_back(h);
            }
            Q_EMIT dataChanged(indiceDe(hijo(padre, 0)), indiceDe(hijo(padre, cantidad - 1)),
                               {Qt::CheckStateRole});
        }
        generacion = std::move(siguiente);
    }
}

QModelIndex ArbolCodigos::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 && !nodos_.empty() ? indiceDe(kRaiz) : QModelIndex();
    const int padre = nodoDe(parent);
    if (padre < 0 || row >= nodo(padre).cantidadHijos) return {};
    return createIndex(row, 0, static_cast<quintptr>(hijo(padre, row)));
}

QModelIndex ArbolCodigos::parent(const QModelIndex& child) const {
    const int n = nodoDe(child);
    if (n <= kRaiz) return {};
    return indiceDe(nodo(n).padre);
}

int ArbolCodigos::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return nodos_.empty() ? 0 : 1;
    if (parent.column() != 0) return 0;
    const int n = nodoDe(parent);
    return n < 0 ? 0 : nodo(n).cantidadHijos;
}

int ArbolCodigos::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ArbolCodigos::data(const QModelIndex& index, int role) const {
    const int n = nodoDe(index);
    if (n < 0) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return texto(n);
        case Qt::CheckStateRole:
            return casillas_ ? QVariant(static_cast<int>(nodo(n).marca)) : QVariant();
        default:
            return {};
    }
}

bool ArbolCodigos::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int n = nodoDe(index);
    if (n < 0 || role != Qt::CheckStateRole || !casillas_) return false;
    marcar(n, value.toInt() == Qt::Checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

Qt::ItemFlags ArbolCodigos::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace kl
