#pragma once

// The data of the subsidiary-journal report: for one journal and a date range,
// each entry's debit lines beside its credit lines in the per-user work table
// AUX_SUBDIARIOS, one row per pair, in one transaction.
//
// An entry with debits on 1101 and 1102 and one credit on 4101 gives
//
//     cuenta_D  importe_D  | cuenta_H  importe_H
//     1101      100,00     | 4101      150,00
//     1102       50,00     |
//
// The longer side drives (the debits on a tie) and the other fills the rows
// from the top. The entries are read once and their lines a few hundred
// entries at a time, the account names once, and the rows are written many
// to a statement, so the work grows with the lines and the memory does not.

#include <QString>

#include <cstdint>

namespace kl::accounting {

// What the report shows while it walks the entries: the program's progress
// notice, or a terminal's progress bar.
class AvanceSubdiarios {
  public:
    virtual ~AvanceSubdiarios() = default;
    // Before the first entry.
    virtual void inicia(const QString& titulo) = 0;
    // Before entry `n` (from 1) of `total`; true when the operator asked to
    // stop since the notice was opened.
    virtual bool muestra(const QString& linea1, const QString& linea2, std::int64_t n,
                         std::int64_t total) = 0;
    // After a stop request: true when the operator confirms the stop.
    virtual bool confirmaAbortar() = 0;
    // The operator declined to stop: a fresh notice goes on with the entry.
    virtual void reanuda(const QString& titulo, const QString& linea1, const QString& linea2) = 0;
    // At the end, a stop or a failure the operator left the report at.
    virtual void termina() = 0;
};

// The program's own: the progress notice with its cancel button, the busy
// pointer and the question "¿Realmente desea abortar el proceso?".
class CartelSubdiarios final : public AvanceSubdiarios {
  public:
    void inicia(const QString& titulo) override;
    bool muestra(const QString& linea1, const QString& linea2, std::int64_t n,
                 std::int64_t total) override;
    bool confirmaAbortar() override;
    void reanuda(const QString& titulo, const QString& linea1, const QString& linea2) override;
    void termina() override;
};

struct ResultadoSubdiarios {
    enum class Estado {
        Completo,  // every entry written and committed
        Abortado,  // the operator stopped: the entries done are committed
        Deshecho,  // the operator left at a failure: nothing of the run remains
    };
    Estado estado = Estado::Completo;
    std::int64_t asientos = 0;          // entries walked
    std::int64_t asientosConFilas = 0;  // of them, those with a debit or credit line
    std::int64_t filas = 0;             // rows written
};

// The texts of the report.
namespace subdiarios {
QString titulo(bool esArchivoLegal);
// Line 2 of the notice: month 3, entry 125 give "0003-0000125".
QString lineaAsiento(std::int64_t mes, std::int64_t numero);
inline constexpr char kRutina[] = "GeneraAuxiliarSubdiarios";
inline constexpr char kDesdeVacio[] = "01/01/1990";
}  // namespace subdiarios

}  // namespace kl::accounting
