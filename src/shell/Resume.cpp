// --resume: the newest cut-off journal that no running program holds and that fits this version of
// the game. Journals that cannot be used are named and skipped, so one bad file never blocks the
// runs behind it; a journal whose run had in fact ended is finished as that run would have been.
#include <ostream>

#include "shell/Headless.h"
#include "shell/RecordedRun.h"
#include "store/FileMessages.h"
#include "store/StoreNames.h"

namespace {

std::string plural(int count, const std::string& one, const std::string& many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

std::string nothingToResume(int held, const std::string& lastSkipped) {
  if (!lastSkipped.empty())
    return "nothing to resume: no cut-off game in " + shown(journalFolder()) + " fits this version; move " +
           shown(lastSkipped) + " away";
  if (held > 0)
    return "nothing to resume: " + plural(held, " cut-off game is", " cut-off games are") +
           " still held by a running gridfall; none other in " + shown(journalFolder());
  return "nothing to resume: no cut-off game in " + shown(journalFolder());
}

}  // namespace

std::unique_ptr<Session> resumedRun(std::ostream& notes) {
  int held = 0;
  std::string lastSkipped;
  std::vector<std::string> journals;
  try {
    journals = cutOffJournalsNewestFirst();
  } catch (const RecordingError& e) {
    throw SessionRefused("cannot resume: " + e.description());
  }
  for (const std::string& path : journals) {
    TakenJournal taken = takeJournal(path);
    if (taken.outcome == TakeOutcome::Held) {
      ++held;
      continue;
    }
    if (taken.outcome == TakeOutcome::Gone) continue;
    if (taken.outcome == TakeOutcome::Taken) {
      const HeadlessRun check = playHeadless(taken.recording, path);
      if (check.finished) {
        finishJournal(taken.journal);  // cut off after the player declined another game
        continue;
      }
      if (check.fits) {
        return recordedRun(std::move(taken.journal), std::move(taken.recording), std::nullopt);
      }
      taken.why = check.mismatch;
    }
    notes << "gridfall: skipped " << taken.why << "\n";
    lastSkipped = path;
  }
  throw SessionRefused(nothingToResume(held, lastSkipped));
}
