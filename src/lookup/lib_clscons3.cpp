#include "lookup/lib_clscons3.h"

namespace kl {

Lib_ClsCons3& sharedConsultas() {
    static Lib_ClsCons3 engine;
    return engine;
}

}  // namespace kl
