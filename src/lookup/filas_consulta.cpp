#include "lookup/filas_consulta.h"

#include "platform/collation.h"

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
    usados_ = 0;
    inicioFila_.clear();
    celdasAbiertas_ = 0;
    cambiadas_.clear();
    marcas_.clear();
    niveles_.clear();
    orden_.clear();
    endResetModel();
}

void FilasConsulta::limpiaFilas() {
    ponEncabezados(QStringList(encabezados_));
}

void FilasConsulta::empiezaCarga() {
    beginResetModel();
    cargando_ = true;
}

void FilasConsulta::terminaCarga() {
    while (celdasAbiertas_ > 0) agregaCelda({});
    if (!esAncho_) latin1_.resize(usados_);
    latin1_.squeeze();
    anchos_.squeeze();
    cargando_ = false;
    endResetModel();
}

void FilasConsulta::abreFila(bool marcada, int nivel) {
    // A row left short gets its missing cells, so the next row starts where
    // its offset says.
    while (celdasAbiertas_ > 0) agregaCelda({});
    if (!cargando_) beginInsertRows(QModelIndex(), filas_, filas_);
    marcas_.push_back(marcada ? 1 : 0);
    niveles_.push_back(static_cast<std::uint8_t>(nivel));
    inicioFila_.push_back(static_cast<std::uint32_t>(usados_));
    if (!orden_.isEmpty()) orden_.push_back(filas_);
    ++filas_;
    celdasAbiertas_ = columnas_;
    // An empty row is complete at once.
    if (columnas_ == 0 && !cargando_) endInsertRows();
}

namespace {

QStringView recortado(QStringView texto) {
    const QChar* desde = texto.data();
    const QChar* hasta = desde + texto.size();
    while (desde != hasta && desde->isSpace()) ++desde;
    while (hasta != desde && hasta[-1].isSpace()) --hasta;
    return QStringView(desde, hasta);
}

// A cell's length as it precedes its text: one unit below 255, else 255 and
// four units of eight bits each. Every unit fits a byte, so the buffer turns
// wide by widening each unit, and positions stay what they were.
constexpr unsigned kLargoLargo = 255;

qsizetype unidadesDeLargo(qsizetype largo) {
    return largo < kLargoLargo ? 1 : 5;
}

template <typename Unidad>
Unidad* escribeLargo(Unidad* destino, qsizetype largo) {
    if (largo < kLargoLargo) {
        *destino++ = static_cast<Unidad>(largo);
        return destino;
    }
    *destino++ = static_cast<Unidad>(kLargoLargo);
    for (int b = 0; b < 4; ++b) *destino++ = static_cast<Unidad>((largo >> (8 * b)) & 0xFF);
    return destino;
}

unsigned valor(char unidad) {
    return static_cast<unsigned char>(unidad);
}
unsigned valor(char16_t unidad) {
    return unidad;
}

// The text of the cell at `posicion`: where it starts and how long it is.
template <typename Unidad>
std::pair<qsizetype, qsizetype> leeCelda(const Unidad* datos, qsizetype posicion) {
    const unsigned primera = valor(datos[posicion]);
    if (primera < kLargoLargo) return {posicion + 1, primera};
    qsizetype largo = 0;
    for (int b = 0; b < 4; ++b)
        largo |= static_cast<qsizetype>(valor(datos[posicion + 1 + b])) << (8 * b);
    return {posicion + 5, largo};
}

// The cell `columna` of the row starting at `posicion`.
template <typename Unidad>
std::pair<qsizetype, qsizetype> buscaCelda(const Unidad* datos, qsizetype posicion, int columna) {
    auto celda = leeCelda(datos, posicion);
    for (int c = 0; c < columna; ++c) celda = leeCelda(datos, celda.first + celda.second);
    return celda;
}

}  // namespace

void FilasConsulta::agregaCelda(QStringView texto) {
    if (celdasAbiertas_ == 0) return;
    texto = recortado(texto);
    const qsizetype largo = texto.size();
    const qsizetype necesario = usados_ + unidadesDeLargo(largo) + largo;
    if (!esAncho_) {
        // The buffer grows by doubling and is written past its size, which
        // terminaCarga sets; so a cell costs no call of its own.
        if (latin1_.size() < necesario)
            latin1_.resize(std::max<qsizetype>({2 * latin1_.size(), necesario, 4096}));
        char* destino = escribeLargo(latin1_.data() + usados_, largo);
        // Copied whole and checked once after: no branch per character.
        const char16_t* desde = texto.utf16();
        char16_t todos = 0;
        for (qsizetype i = 0; i < largo; ++i) {
            todos |= desde[i];
            destino[i] = static_cast<char>(desde[i]);
        }
        if (todos > 0xFF) {
            anchos_ = QString::fromLatin1(latin1_.constData(), usados_);
            latin1_ = QByteArray();
            esAncho_ = true;
        }
    }
    if (esAncho_) {
        anchos_.resize(necesario);
        char16_t* destino =
            escribeLargo(reinterpret_cast<char16_t*>(anchos_.data()) + usados_, largo);
        std::copy(texto.utf16(), texto.utf16() + largo, destino);
    }
    usados_ = necesario;
    if (--celdasAbiertas_ == 0 && !cargando_) endInsertRows();
}

void FilasConsulta::agregaFila(const QStringList& celdas, bool marcada, int nivel) {
    abreFila(marcada, nivel);
    for (int c = 0; c < columnas_; ++c)
        agregaCelda(c < celdas.size() ? QStringView(celdas[c]) : QStringView());
}

template <typename Uso>
auto FilasConsulta::conTexto(int origen, int columna, Uso&& usa) const {
    if (!cambiadas_.isEmpty()) {
        const auto cambiada = cambiadas_.constFind(posicion(origen, columna));
        if (cambiada != cambiadas_.cend()) return usa(QStringView(*cambiada));
    }
    const qsizetype fila = inicioFila_[origen];
    if (esAncho_) {
        const char16_t* datos = reinterpret_cast<const char16_t*>(anchos_.constData());
        const auto [desde, largo] = buscaCelda(datos, fila, columna);
        return usa(QStringView(datos + desde, largo));
    }
    const char* datos = latin1_.constData();
    const auto [desde, largo] = buscaCelda(datos, fila, columna);
    return usa(QLatin1StringView(datos + desde, largo));
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

    const char* datos = latin1_.constData();
    for (int fila = 0; fila < filas_; ++fila) {
        const auto [desde, largo] = buscaCelda(datos, inicioFila_[origen(fila)], columna);
        const QLatin1StringView celda(datos + desde, largo);
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
    orden_.resize(filas_);
    std::iota(orden_.begin(), orden_.end(), 0);
    std::stable_sort(orden_.begin(), orden_.end(), [&](int a, int b) {
        const int c = collation::compareCi(claves[static_cast<std::size_t>(a)],
                                           claves[static_cast<std::size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });

    // The selection and the current row follow their rows.
    std::vector<int> filaDe(static_cast<std::size_t>(orden_.size()));
    for (qsizetype f = 0; f < orden_.size(); ++f)
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
                        static_cast<std::size_t>(inicioFila_.capacity()) * sizeof(std::uint32_t) +
                        static_cast<std::size_t>(marcas_.capacity() + niveles_.capacity()) +
                        static_cast<std::size_t>(orden_.capacity()) * sizeof(int);
    for (const QString& t : cambiadas_) bytes += static_cast<std::size_t>(t.capacity()) * 2 + 32;
    return bytes;
}

}  // namespace kl::consulta
