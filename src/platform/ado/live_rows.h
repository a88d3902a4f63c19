#pragma once

#include <algorithm>
#include <vector>

namespace kl::ado {

// The streaming row sources a provider has open. Before the provider writes,
// each reads its remaining rows into memory and lets go of the provider, so a
// walk that rewrites the rows it reads never sees its own changes.
template <typename Rows>
class LiveRows {
  public:
    void attach(Rows* rows) { rows_.push_back(rows); }
    void detach(Rows* rows) {
        rows_.erase(std::remove(rows_.begin(), rows_.end(), rows), rows_.end());
    }
    void materializeAll() {
        const std::vector<Rows*> rows = std::move(rows_);
        rows_.clear();
        for (Rows* r : rows) {
            r->materialize();
            r->detachProvider();
        }
    }

  private:
    std::vector<Rows*> rows_;
};

}  // namespace kl::ado
