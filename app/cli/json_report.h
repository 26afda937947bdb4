#pragma once
// The --json output: one document per query run, in UTF-8.
//
// "methods" is rebuilt from the texts the query appended to the report box,
// so it holds exactly what each method's frame shows. "entries" is read from
// the parsed trace reply by member name, so it does not depend on the order
// in which the service writes the members of an entry.

#include <string>
#include <vector>

#include "cli_options.h"
#include "text/text_primitives.h"

struct JsonRunFacts {
  Text number;       // the number queried, code page 936
  Text companyCode;  // as cut from the detection reply
  Text replyText;    // the trace reply, code page 936
  bool matched = false;
  MethodChoice method = MethodChoice::One;
  std::vector<Text> appends;  // every text appended to the report box during the run
};

// One line: the document and a line feed.
std::string Cli_JsonDocument(const JsonRunFacts& facts);
