#pragma once
// The program globals. They live for the whole run; the query procedure and
// the update check keep their intermediate results here, the start-up creates
// TrackRegex and the exit routine releases everything.

#include <cstdint>
#include <memory>

#include "regex/regex_object.h"
#include "text/text_primitives.h"

struct ProgramGlobals {
  // The query procedure (button and timer alike).
  Text CompanyCode;            // cut from the company-detection reply
  Text ReplyText;              // the trace reply in code page 936
  Text ReplyNumber;            // the number the trace reply echoes
  Text RegexSubject;           // copy of ReplyText taken for each method run
  std::unique_ptr<RegexObject> TrackRegex;  // made by App_Start, destroyed at exit
  int32_t EntryIndex = 0;      // 1-based entry counter of a method run

  // The update check.
  Text ManifestText;
  Text UpdateVersion;
  Text UpdateFileName;
  Text UpdateFileSize;
  Text UpdateFileMd5;
  Text UpdateNotes;
  // The download address lives apart from ReplyText, so a timed query that
  // runs while the update question is open cannot change what Yes opens.
  Text UpdateDownloadAddress;
};

extern ProgramGlobals Globals;

// Makes TrackRegex when it does not exist yet.
void Globals_CreateTrackRegex();
// Releases every text (their memory too) and destroys TrackRegex.
void Globals_Release();
