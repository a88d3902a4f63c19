#pragma once

#include <QString>

namespace kl {

// The main menu starts every program of the module with one parameter
// string of items "@Clave=valor;", e.g.
//   @Server=SRV01;@DbName=CONTAB;@Usuario=sa;@Password=;@UsuarioLogeado=JUAN;
// The menu and its sibling programs all read it the same way, so these rules
// are a contract, odd corners included:
// - the key is searched anywhere in the string, case ignored, and its first
//   occurrence wins (so "@Usuario" also finds the start of "@UsuarioLogeado";
//   the menu writes @Usuario first);
// - the value runs from the end of the key to the next ";": an item without
//   its ";" gives an empty value;
// - every "=" of the value is dropped, then blanks around it are trimmed;
//   the value keeps its case.
QString valorDeParametro(const QString& parametros, const QString& clave);

// Every value the start-up takes from the parameter string.
struct ParametrosSesion {
    QString parametroAdicional;
    QString menu;
    QString servidor;
    QString baseDeDatos;
    QString usuario;
    QString password;
    QString usuarioLogeado;
    QString caja;
};

// The keys the start-up reads, each with the field it fills.
struct ClaveParametro {
    const char* clave;
    QString ParametrosSesion::*campo;
};
inline constexpr ClaveParametro kClavesParametros[] = {
    {"@ParametroAdicional", &ParametrosSesion::parametroAdicional},
    {"@Menu", &ParametrosSesion::menu},
    {"@Server", &ParametrosSesion::servidor},
    {"@DbName", &ParametrosSesion::baseDeDatos},
    {"@Usuario", &ParametrosSesion::usuario},
    {"@Password", &ParametrosSesion::password},
    {"@UsuarioLogeado", &ParametrosSesion::usuarioLogeado},
    {"@Caja", &ParametrosSesion::caja},
};

ParametrosSesion leeParametrosSesion(const QString& parametros);

// The parameter string this program starts a sibling program with:
//   " ; @server=S; @dbname=D; @usuario=U; @Password=P; @ParametroAdicional=A; brim@ ;"
// The values go as they are: the sibling reads them back by the rules
// above, so a value holding ";", "=" or another key's text does not come
// back whole (the menu's own strings have the same limits).
QString escribeParametrosPrograma(const ParametrosSesion& valores);

}  // namespace kl
