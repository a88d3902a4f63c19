#pragma once

#include <QString>

namespace kl {

// The lookup engine: the generic lookups of the module's tables, with the
// saved query masks of consultas.kvw. The session start-up gives it the
// connection and the masks' file.
class Lib_ClsCons3 {
  public:
    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
};

// The process's engine, created on first use.
Lib_ClsCons3& sharedConsultas();

}  // namespace kl
