#include "lookup/filas_consulta.h"

#include "platform/ado/collation.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>

namespace kl::consulta {

FilasConsulta::FilasConsulta(QObject* parent) : QAbstractTableModel(parent) {}

void FilasConsulta::ponEncabezados(const QStringList& encabezados) {
    beginResetModel();
    encabezados_ = encabezados;
    columnas_ = static_cast<int>(encabezados.size());
    filas_ = 0;
    latin1_.clear();
    anchos_.clear();
    esAncho_ = false;
    inicio_.assign(1, 0);
    cambiadas_.clear();
    marcas_.clear();
    niveles_.clear();
    orden_.clear();
    endResetModel();
}

void FilasConsulta::cambiaEncabezado(int columna, const QString& texto) {
    if (columna < 0 || columna >= columnas_) return;
    encabezados_[columna] = texto;
    Q_EMIT headerDataChanged(Qt::Horizontal, columna, columna);
}

void FilasConsulta::limpiaFilas() {
    ponEncabezados(QStringList(encabezados_));
}

void FilasConsulta::empiezaCarga() {
    beginResetModel();
    cargando_ = true;
}

void FilasConsulta::terminaCarga() {
    latin1_.squeeze();
    anchos_.squeeze();
    cargando_ = false;
    endResetModel();
}

void FilasConsulta::abreFila(bool marcada, int nivel) {
    if (!cargando_) beginInsertRows(QModelIndex(), filas_, filas_);
    marcas_.push_back(marcada ? 1 : 0);
    niveles_.push_back(static_cast<std::uint8_t>(nivel));
    orden_.push_back(filas_);
    ++filas_;
    celdasAbiertas_ = columnas_;
    // An empty row is complete at once.
    if (columnas_ == 0 && !cargando_) endInsertRows();
}

void FilasConsulta::agregaCelda(QStringView texto) {
    if (celdasAbiertas_ == 0) return;
    if (!esAncho_) {
        const qsizetype antes = latin1_.size();
        latin1_.resize(antes + texto.size());
        char* destino = latin1_.data() + antes;
        for (const QChar c : texto) {
            if (c.unicode() > 0xFF) break;
            *destino++ = static_cast<char>(c.unicode());
        }
        if (destino != latin1_.data() + latin1_.size()) {
            // Offsets count characters in both forms, so they stay valid.
            latin1_.truncate(antes);
            anchos_ = QString::fromLatin1(latin1_);
            latin1_ = QByteArray();
            esAncho_ = true;
        }
    }
    if (esAncho_) anchos_.append(texto);
    inicio_.push_back(static_cast<std::uint32_t>(esAncho_ ? anchos_.size() : latin1_.size()));
    if (--celdasAbiertas_ == 0 && !cargando_) endInsertRows();
}

void FilasConsulta::agregaFila(const QStringList& celdas, bool marcada, int nivel) {
    abreFila(marcada, nivel);
    for (int c = 0; c < columnas_; ++c)
        agregaCelda(c < celdas.size() ? QStringView(celdas[c]) : QStringView());
}

template <typename Uso>
auto FilasConsulta::conTexto(int origen, int columna, Uso&& usa) const {
    const std::size_t k = posicion(origen, columna);
    if (!cambiadas_.isEmpty()) {
        if (const auto cambiada = cambiadas_.constFind(k); cambiada != cambiadas_.cend())
            return usa(QStringView(*cambiada));
    }
    const qsizetype desde = inicio_[k];
    const qsizetype largo = inicio_[k + 1] - inicio_[k];
    if (esAncho_) return usa(QStringView(anchos_).mid(desde, largo));
    return usa(QLatin1StringView(latin1_.constData() + desde, largo));
}

QString FilasConsulta::celda(int fila, int columna) const {
    if (fila < 0 || fila >= filas_ || columna < 0 || columna >= columnas_) return QString();
    return conTexto(origen(fila), columna, [](auto texto) { return texto.toString(); });
}

void FilasConsulta::ponCelda(int fila, int columna, const QString& texto) {
    if (fila < 0 || fila >= filas_ || columna < 0 || columna >= columnas_) return;
    cambiadas_.insert(posicion(origen(fila), columna), texto);
    const QModelIndex i = index(fila, columna);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

bool FilasConsulta::marcada(int fila) const {
    return fila >= 0 && fila < filas_ && marcas_[static_cast<std::size_t>(origen(fila))] != 0;
}

void FilasConsulta::marca(int fila, bool marcada) {
    if (fila < 0 || fila >= filas_) return;
    marcas_[static_cast<std::size_t>(origen(fila))] = marcada ? 1 : 0;
    const QModelIndex i = index(fila, 0);
    Q_EMIT dataChanged(i, i, {Qt::CheckStateRole});
}

void FilasConsulta::invierteMarcas() {
    for (std::uint8_t& m : marcas_) m = m ? 0 : 1;
    if (filas_ > 0) Q_EMIT dataChanged(index(0, 0), index(filas_ - 1, 0), {Qt::CheckStateRole});
}

int FilasConsulta::busca(int columna, QStringView prefijo) const {
    if (columna < 0 || columna >= columnas_) return -1;
    const QStringView buscado = prefijo.trimmed();
    if (!esAncho_ && cambiadas_.isEmpty()) return buscaLatin1(columna, buscado);
    for (int fila = 0; fila < filas_; ++fila) {
        const bool empieza = conTexto(origen(fila), columna, [&](auto texto) {
            return texto.trimmed().startsWith(buscado, Qt::CaseInsensitive);
        });
        if (empieza) return fila;
    }
    return -1;
}

// The search of every keystroke over one-byte texts: the same comparison as
// QStringView::startsWith without regard to case (simple case folding), with
// the folding of the 256 characters looked up instead of computed, so a
// whole scan of a long list stays well under a keystroke's time.
int FilasConsulta::buscaLatin1(int columna, QStringView buscado) const {
    static const std::array<char16_t, 256> pliegue = [] {
        std::array<char16_t, 256> tabla{};
        for (int c = 0; c < 256; ++c) tabla[c] = QChar(c).toCaseFolded().unicode();
        return tabla;
    }();
    std::u16string plegado;
    plegado.reserve(static_cast<std::size_t>(buscado.size()));
    for (const QChar c : buscado) plegado += c.toCaseFolded().unicode();
    const auto n = static_cast<qsizetype>(plegado.size());

    for (int fila = 0; fila < filas_; ++fila) {
        const std::size_t k = posicion(origen(fila), columna);
        const QLatin1StringView celda =
            QLatin1StringView(latin1_.constData() + inicio_[k], inicio_[k + 1] - inicio_[k])
                .trimmed();
        if (celda.size() < n) continue;
        qsizetype i = 0;
        while (i < n && pliegue[static_cast<unsigned char>(celda[i].toLatin1())] == plegado[i]) ++i;
        if (i == n) return fila;
    }
    return -1;
}

void FilasConsulta::ponCasillas(bool casillas) {
    if (casillas_ == casillas) return;
    beginResetModel();
    casillas_ = casillas;
    endResetModel();
}

void FilasConsulta::ponColoresNivel(const QList<QColor>& colores) {
    coloresNivel_ = colores;
}

void FilasConsulta::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnas_) return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList antes = persistentIndexList();
    std::vector<int> origenes;
    origenes.reserve(static_cast<std::size_t>(antes.size()));
    for (const QModelIndex& i : antes) origenes.push_back(origen(i.row()));

    // Compared as the database orders them (accents next to their letter, Ñ
    // after N), each text taken out of the buffer once.
    std::vector<QString> claves(static_cast<std::size_t>(filas_));
    for (int o = 0; o < filas_; ++o)
        claves[static_cast<std::size_t>(o)] =
            conTexto(o, column, [](auto texto) { return texto.toString(); });
    std::iota(orden_.begin(), orden_.end(), 0);
    std::stable_sort(orden_.begin(), orden_.end(), [&](int a, int b) {
        const int c = ado::sqlite::compareCi(claves[static_cast<std::size_t>(a)],
                                             claves[static_cast<std::size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });

    // The selection and the current row follow their rows.
    std::vector<int> filaDe(orden_.size());
    for (std::size_t f = 0; f < orden_.size(); ++f)
        filaDe[static_cast<std::size_t>(orden_[f])] = static_cast<int>(f);
    QModelIndexList despues;
    despues.reserve(antes.size());
    for (qsizetype n = 0; n < antes.size(); ++n)
        despues += index(filaDe[static_cast<std::size_t>(origenes[static_cast<std::size_t>(n)])],
                         antes[n].column());
    changePersistentIndexList(antes, despues);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FilasConsulta::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : filas_;
}

int FilasConsulta::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnas_;
}

QVariant FilasConsulta::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= filas_ || index.column() >= columnas_) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return celda(index.row(), index.column());
        case Qt::CheckStateRole:
            if (!casillas_ || index.column() != 0) return {};
            return marcada(index.row()) ? Qt::Checked : Qt::Unchecked;
        case Qt::ForegroundRole: {
            const int nivel = niveles_[static_cast<std::size_t>(origen(index.row()))];
            if (nivel < 1 || nivel > coloresNivel_.size()) return {};
            return coloresNivel_[nivel - 1];
        }
        default:
            return {};
    }
}

bool FilasConsulta::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || !casillas_ || index.column() != 0)
        return false;
    marca(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant FilasConsulta::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= columnas_) return {};
    return encabezados_[section];
}

Qt::ItemFlags FilasConsulta::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (casillas_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

std::size_t FilasConsulta::bytesOcupados() const {
    std::size_t bytes = static_cast<std::size_t>(latin1_.capacity()) +
                        static_cast<std::size_t>(anchos_.capacity()) * sizeof(QChar) +
                        inicio_.capacity() * sizeof(std::uint32_t) + marcas_.capacity() +
                        niveles_.capacity() + orden_.capacity() * sizeof(int);
    for (const QString& t : cambiadas_) bytes += static_cast<std::size_t>(t.capacity()) * 2 + 32;
    return bytes;
}

}  // namespace kl::consulta
