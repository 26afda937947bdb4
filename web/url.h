#pragma once
// Splitting an address into host, port and path.

#include "text/text_primitives.h"

enum class KeepPort { No, Yes };

Text Url_Host(std::string_view url, KeepPort keepPort = KeepPort::No);
int Url_Port(std::string_view url);
Text Url_Path(std::string_view url);
