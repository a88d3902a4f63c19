#pragma once

// The history of changes as the configuration window shows it: every row in
// the list lookup window (a search box per column, sorting by header),
// newest first.

namespace kl::config {

// Tells the operator when the database keeps no history.
void MuestraHistorial();

}  // namespace kl::config
