#pragma once
// Runs the query the options ask for through the console runtime: once, or
// on the timer of --every, writing the report or one JSON document per run to
// standard output. Returns the exit status: 0 when the service echoed the
// number, 1 when the error text was written (the last run decides).

#include "cli_options.h"

int Cli_RunQueries(const CliOptions& options);
