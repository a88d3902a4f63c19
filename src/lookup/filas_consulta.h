#pragma once

// The rows of a list lookup as a table model. A lookup may bring a hundred
// thousand rows, so their texts live in one buffer, each cell its length and
// its text and each row an offset into it, instead of an object per cell;
// the order the list shows is a permutation of the rows as read, so sorting
// moves integers, not rows. The
// buffer holds one byte per character while every text fits Latin-1 (the
// module's data is Windows-1252, nearly always Latin-1) and turns to UTF-16
// at the first character that does not.
//
//     FilasConsulta filas;
//     filas.ponEncabezados({"CODIGO", "NOMBRE"});
//     filas.agregaFila({"01", "Juan"});
//     filas.busca(1, u"ju");   // 0: the first row, in list order

#include <QAbstractTableModel>
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace kl::consulta {

class FilasConsulta : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit FilasConsulta(QObject* parent = nullptr);

    // ---- Columns.
    void ponEncabezados(const QStringList& encabezados);
    const QStringList& encabezados() const { return encabezados_; }

    // ---- Rows. Loading many rows goes between empieza and terminaCarga, so
    // the views hear of them once.
    void limpiaFilas();
    void empiezaCarga();
    void terminaCarga();
    // Cells are kept trimmed. Cells past the number of columns are dropped,
    // missing ones are empty.
    // `nivel` is a stock level 1-4 (0: none).
    void agregaFila(const QStringList& celdas, bool marcada = false, int nivel = 0);
    // The row's cells one at a time: abreFila, agregaCelda per column.
    void abreFila(bool marcada, int nivel);
    void agregaCelda(QStringView texto);

    // ---- Reading, by row in list order (0-based).
    QString celda(int fila, int columna) const;
    bool marcada(int fila) const;
    void marca(int fila, bool marcada);
    void invierteMarcas();
    // Replaces a cell's text (the quantity column).
    void ponCelda(int fila, int columna, const QString& texto);

    // The first row, in list order, whose cell in `columna` starts with
    // `prefijo` trimmed, letter case ignored; -1 when none does. Cells are
    // kept trimmed, so an empty prefix finds the first row.
    int busca(int columna, QStringView prefijo) const;

    // ---- Display.
    void ponCasillas(bool casillas);
    bool casillas() const { return casillas_; }
    // The text colours of stock levels 1-4.
    void ponColoresNivel(const QList<QColor>& colores);
    // Sorts the list by the column's text as the database's collation
    // orders it (case ignored, accents beside their letter, Ñ after N);
    // rows with equal text keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // ---- Qt's model interface.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Bytes the rows take (texts, offsets, order, marks), for the benchmark.
    std::size_t bytesOcupados() const;

  private:
    // Calls `usa` with the cell of a row as read (its replacement when it
    // has one) as a QLatin1StringView or a QStringView.
    template <typename Uso>
    auto conTexto(int origen, int columna, Uso&& usa) const;
    int buscaLatin1(int columna, QStringView buscado) const;
    int origen(int fila) const { return orden_.isEmpty() ? fila : orden_[fila]; }
    std::size_t posicion(int origen, int columna) const {
        return static_cast<std::size_t>(origen) * static_cast<std::size_t>(columnas_) +
               static_cast<std::size_t>(columna);
    }

    QStringList encabezados_;
    int columnas_ = 0;
    int filas_ = 0;
    bool cargando_ = false;
    bool casillas_ = false;
    // All cells one after the other, each its length and its text; row r's
    // first cell at inicioFila_[r]. In latin1_ until a text needs anchos_.
    // While loading, latin1_ runs past the usados_ units written.
    QByteArray latin1_;
    QString anchos_;
    bool esAncho_ = false;
    qsizetype usados_ = 0;
    QList<std::uint32_t> inicioFila_;
    // Texts replaced after loading, by cell position.
    QHash<std::size_t, QString> cambiadas_;
    // Per row as read: the check mark and the stock level.
    QList<std::uint8_t> marcas_;
    QList<std::uint8_t> niveles_;
    // Row in list order -> row as read; empty until the first sort, while
    // the list shows the rows as read.
    QList<int> orden_;
    QList<QColor> coloresNivel_;
    int celdasAbiertas_ = 0;
};

}  // namespace kl::consulta
