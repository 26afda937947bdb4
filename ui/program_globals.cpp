#include "ui/program_globals.h"

ProgramGlobals Globals;

void Globals_CreateTrackRegex() {
  if (!Globals.TrackRegex) Globals.TrackRegex = std::make_unique<RegexObject>();
}

namespace {
// Gives the memory back, not just the length: a trace reply can be megabytes.
void Release(Text& text) { Text().swap(text); }
}  // namespace

void Globals_Release() {
  Release(Globals.CompanyCode);
  Release(Globals.ReplyText);
  Release(Globals.ReplyNumber);
  Release(Globals.RegexSubject);
  Globals.TrackRegex.reset();
  Release(Globals.ManifestText);
  Release(Globals.UpdateVersion);
  Release(Globals.UpdateFileName);
  Release(Globals.UpdateFileSize);
  Release(Globals.UpdateFileMd5);
  Release(Globals.UpdateNotes);
  Release(Globals.UpdateDownloadAddress);
  Globals.EntryIndex = 0;
}
