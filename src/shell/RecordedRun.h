// A run recorded in its journal: new, or resumed from the journal of a cut-off run.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "recordings/Journal.h"
#include "shell/Session.h"

// A new run (`start` set) makes its journal once the terminal is usable; a resumed one comes with
// its journal and first plays the journal's run `earlier` silently (a new run: its seed alone).
std::unique_ptr<Session> recordedRun(Journal journal, Recording earlier, std::optional<std::time_t> start);
