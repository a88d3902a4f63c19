#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kl {

class OneAtATime;

// The window in which the operator chooses the database to work on: a
// known connection from BASES.TXT or one typed into the boxes, which
// "Registrar" tests and adds to the file. The access layer fills the boxes,
// shows the window modally and reads them back with the flag Aceptar.
class frmAcceso : public QDialog {
    Q_OBJECT

  public:
    // Entries of the platform list. The embedded engine is reached with the
    // server "sqlite" and the database file's path as the database.
    enum Plataforma { kPlataformaSqlServer = 0, kPlataformaOracle = 1, kPlataformaSqlite = 2 };

    explicit frmAcceso(QWidget* parent = nullptr);
    ~frmAcceso() override;

    // The window's load: centred, the list filled, the boxes' hints shown.
    void Form_Load();

    // The boxes and buttons the access layer and the registration use.
    QLineEdit* const TxtUserId;
    QLineEdit* const TxtUserPassword;
    QLineEdit* const TxtDbName;
    QLineEdit* const TxtServidor;
    QLineEdit* const TxtPuerto;
    QComboBox* const CboPlataformaDB;
    QListWidget* const lstBases;
    QPushButton* const bcAceptar;
    QPushButton* const bcCancelar;
    QPushButton* const CmdRegistrar;
    QPushButton* const CmdLineaComando;
    QLabel* const Label8;

    // True after "Conectar", false after "Cancelar" (and at every load).
    bool Aceptar = false;

    // The connection DatosBase last found; the password decoded.
    struct ConexionGuardada {
        QString nombre;
        QString base;
        QString usuario;
        QString clave;
        QString servidor;
    };
    const ConexionGuardada& conexionGuardada() const { return guardada_; }
    // The port of the connection last shown; empty until one had a port.
    const QString& puertoGuardado() const { return puerto_; }

    // Fills the list with the names of BASES.TXT and selects the first.
    void llenarlist();
    // Keeps the fields of the first connection named Nombre (both sides
    // trimmed, letter case counts). False when none is named so; the kept
    // fields then stay as they were.
    bool DatosBase(const QString& Nombre);
    // Shows the connection selected in the list in the boxes.
    void AsignarDatosBase();
    // Shows the box's hint, selected, when the box is empty or shows it.
    void MensajeInicial(QLineEdit* ObjTxt);
    // The registration on first use: when BASES.TXT does not exist yet.
    void RegistrarBases();

    void bcAceptar_Click();
    void bcCancelar_Click();
    // Tests the connection in the boxes and adds it to BASES.TXT.
    void CmdRegistrar_Click();
    // Puts a desktop entry that starts the program on the user's desktop.
    void CmdLineaComando_Click();
    void Label8_Click();

    // The maker's web address the link label shows: KL000p.INI, section
    // "Acceso", key "SitioWeb", with the maker's address as default.
    static QString sitioFabricante();

    // How the registration starts ODBC.exe without waiting for it; false
    // when it could not be started. Tests replace it.
    using IniciaPrograma =
        std::function<bool(const QString& programa, const QStringList& argumentos)>;
    void setIniciaPrograma(IniciaPrograma inicia);

    // The platform a server names: "#" Oracle, "sqlite" the embedded
    // engine, any other SQL Server.
    static Plataforma plataformaDe(const QString& servidor);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void construyeVentana();
    void conectaEventos();
    void plataformaElegida(int indice);
    void buscaArchivoBase();

    QPushButton* const CmdBuscarArchivo;
    OneAtATime* const unaALaVez_;
    ConexionGuardada guardada_;
    QString puerto_;
    IniciaPrograma iniciaPrograma_;
};

}  // namespace kl
