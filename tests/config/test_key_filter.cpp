// The typing filters of the configuration's text boxes: the fuzzer's seeds,
// replayed.

#include "fuzz/key_filter_properties.h"
#include "fuzz/seed_replay.h"

namespace kl::config {
namespace {

TEST(KeyFilter, TheFuzzersSeedsLeaveABoxOnlyWhatItsFiltersLetThrough) {
    QLineEdit caja;
    kl::properties::checkPrefixes("key_filter", [&](const QByteArray& bytes) {
        return properties::checkFiltros(caja, bytes);
    });
}

}  // namespace
}  // namespace kl::config
