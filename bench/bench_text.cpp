// Speed of the text layer, each figure beside its reference measured in the
// same run on the same bytes: generated code page 936 text mixing ASCII words
// and Chinese characters (some with trail bytes in the ASCII range).
//
//   bench_text [MiB]     (default 16)
//
// Prints one table row per figure; the last column says whether the target holds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include "text/code_page.h"
#include "text/text_between.h"
#include "text/text_primitives.h"
#include "text/unescape.h"

namespace {

constexpr size_t kMiB = 1024 * 1024;

// Keeps the optimiser from dropping a result.
volatile size_t g_sink;

// Best of a few runs, in seconds.
double Time(const std::function<void()>& run, int repeats = 7) {
  double best = 1e9;
  for (int r = 0; r < repeats; ++r) {
    const auto begin = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    best = std::min(best, spent.count());
  }
  return best;
}

double MBps(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

// Code page 936 text of about `size` bytes: ASCII words, GB2312 characters and
// GBK characters whose trail byte lies in 0x40-0x7E (so a naive byte search
// would see letters inside them). Never holds '#', '%', '\\' or '\''.
std::string MixedGbk(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string text;
  text.reserve(size + 16);
  while (text.size() < size) {
    switch (random() % 4) {
      case 0:
      case 1:
        for (int k = 2 + random() % 6; k > 0; --k)
          text.push_back(static_cast<char>('a' + random() % 26));
        text.push_back(' ');
        break;
      case 2:
        for (int k = 1 + random() % 6; k > 0; --k) {
          text.push_back(static_cast<char>(0xB0 + random() % 40));
          text.push_back(static_cast<char>(0xA1 + random() % 94));
        }
        break;
      default:
        text.push_back(static_cast<char>(0x81 + random() % 32));
        text.push_back(static_cast<char>(0x40 + random() % 63));
    }
  }
  text.resize(size);
  if (static_cast<unsigned char>(text.back()) >= 0x80) text.back() = 'x';
  return text;
}

struct Row {
  const char* figure;
  double ours;
  double reference;
  const char* unit;
  std::string target;
  bool holds;
};

void Print(const Row& row) {
  std::printf("| %-52s | %10.2f | %10.2f | %-6s | %-26s | %-4s |\n", row.figure, row.ours,
              row.reference, row.unit, row.target.c_str(), row.holds ? "yes" : "NO");
}

Row FindFigure(size_t size) {
  std::string text = MixedGbk(size, 1);
  const std::string needle = "#needle-0042#";
  text.replace(text.size() - 64, needle.size(), needle);
  int found = 0;
  const double ours = Time([&] { found = Text_Find(text, needle); });
  const double reference = Time([&] {
    g_sink =
        reinterpret_cast<size_t>(memmem(text.data(), text.size(), needle.data(), needle.size()));
  });
  g_sink = found;
  const double ratio = reference / ours;
  return {"Text_Find, needle at the end (MB/s)",
          MBps(size, ours),
          MBps(size, reference),
          "MB/s",
          ratio >= 0.25 ? ">= 1/4 memmem: holds" : ">= 1/4 memmem: fails",
          ratio >= 0.25};
}

Row BetweenFigure(size_t size) {
  std::string text = MixedGbk(size, 2);
  const std::string value = "{\"num\":\"SF1234567890\",";
  text.replace(text.size() - 64, value.size(), value);
  const Text left = Gbk("#引号num#引号:#引号");
  const Text right = Gbk("#引号,");
  Text cut;
  const double ours = Time([&] { cut = Text_Between(text, left, right); });
  if (cut != "SF1234567890") std::fprintf(stderr, "Text_Between cut the wrong value\n");
  const std::string plainLeft = "\"num\":\"", plainRight = "\",";
  const double reference = Time([&] {
    const void* l = memmem(text.data(), text.size(), plainLeft.data(), plainLeft.size());
    const char* from = static_cast<const char*>(l) + plainLeft.size();
    g_sink = reinterpret_cast<size_t>(
        memmem(from, text.data() + text.size() - from, plainRight.data(), plainRight.size()));
  });
  const double ratio = reference / ours;
  return {"Text_Between, delimiters at the end (MB/s)",
          MBps(size, ours),
          MBps(size, reference),
          "MB/s",
          ratio >= 0.25 ? ">= 1/4 memmem: holds" : ">= 1/4 memmem: fails",
          ratio >= 0.25};
}

// Inserts the needle about every 300 bytes.
std::string WithNeedles(size_t size, const std::string& needle, unsigned seed) {
  std::string text = MixedGbk(size, seed);
  // Only on character boundaries, so that every insertion is a real occurrence.
  size_t boundary = 0;
  for (size_t at = 150; at + needle.size() < text.size(); at += 300) {
    while (boundary < at) boundary += static_cast<unsigned char>(text[boundary]) >= 0x80 ? 2 : 1;
    if (boundary + needle.size() > text.size()) break;
    text.replace(boundary, needle.size(), needle);
    boundary += needle.size();
    at = boundary;
  }
  return text;
}

// Linearity compares one call on the large text with one call on 1 MiB. The
// 1 MiB calls take their input in turn from a pool as large as the large
// text, so that neither side runs from cache: a 1 MiB text would otherwise
// sit in the L2/L3 caches while the large one streams from memory, and the
// ratio would measure the cache rather than the code.
double PerCallOverPool(const std::vector<std::string>& pool,
                       const std::function<size_t(const std::string&)>& call) {
  return Time([&] {
           for (const std::string& piece : pool) g_sink = call(piece);
         }) /
         pool.size();
}

// Linear time: the large text may take at most 20 times as long per 16 MiB
// as one 1 MiB text from the pool.
Row LinearFigure(const char* figure, const std::vector<std::string>& pool, const std::string& large,
                 const std::function<size_t(const std::string&)>& call) {
  const double smallTime = PerCallOverPool(pool, call);
  const double largeTime = Time([&] { g_sink = call(large); });
  const double allowed = 20.0 * large.size() / (16 * kMiB);
  char target[64];
  std::snprintf(target, sizeof target, "large/1 MiB time <= %.0f", allowed);
  return {figure, largeTime * 1e3, smallTime * 1e3, "ms", target, largeTime / smallTime <= allowed};
}

Row ReplaceFigure(size_t size) {
  const std::string needle = "#needle-0042#";
  std::vector<std::string> pool;
  for (size_t k = 0; k < size / kMiB; ++k) pool.push_back(WithNeedles(kMiB, needle, 10 + k));
  return LinearFigure("Text_Replace 13-byte needle, large vs 1 MiB (ms)", pool,
                      WithNeedles(size, needle, 3),
                      [&](const std::string& text) { return Text_Replace(text, needle, "<r>").size(); });
}

// Chinese UTF-8 with a little ASCII punctuation, as a tracking reply has.
std::string ChineseUtf8(size_t size) {
  std::mt19937 random(4);
  std::string text;
  text.reserve(size + 8);
  while (text.size() < size) {
    const char32_t cp = 0x4E00 + random() % 0x5000;
    text.push_back(static_cast<char>(0xE0 | cp >> 12));
    text.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    if (random() % 16 == 0) text.append("\",\"");
  }
  return text;
}

Row Utf8ToAnsiFigure(size_t size) {
  const std::string utf8 = ChineseUtf8(size);
  const double ours = Time([&] { g_sink = Code_Utf8ToAnsi(utf8).size(); });
  const double reference = Time([&] { g_sink = std::string(utf8).size(); });
  const double rate = MBps(utf8.size(), ours);
  return {"Code_Utf8ToAnsi, Chinese UTF-8 (MB/s; ref copy)",
          rate,
          MBps(utf8.size(), reference),
          "MB/s",
          ">= 100 MB/s",
          rate >= 100};
}

// About every third character an escape, as in a trace reply's JSON strings.
std::string EscapeDense(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string text;
  text.reserve(size + 16);
  char escape[8];
  while (text.size() < size) {
    std::snprintf(escape, sizeof escape, "\\u%04x",
                  0x4E00 + static_cast<unsigned>(random() % 0x5000));
    text.append(escape);
    text.push_back(static_cast<char>('a' + random() % 26));
    if (random() % 8 == 0) {
      text.append("\xD6\xD0");  // a character already in code page 936
    } else {
      text.push_back(random() % 10 == 0 ? '\'' : static_cast<char>('0' + random() % 10));
    }
  }
  text.resize(size);
  while (!text.empty() && text.back() != '\'' &&
         !std::isalnum(static_cast<unsigned char>(text.back()))) {
    text.pop_back();
  }
  return text;
}

Row UnescapeRateFigure(const std::string& text) {
  Text decoded;
  const double ours = Time([&] { decoded = Text_UnescapeUnicode(text); });
  if (decoded.empty()) std::fprintf(stderr, "Text_UnescapeUnicode refused the generated text\n");
  const double reference = Time([&] { g_sink = std::string(text).size(); });
  const double rate = MBps(text.size(), ours);
  return {"Text_UnescapeUnicode, escape-dense (MB/s; ref copy)",
          rate,
          MBps(text.size(), reference),
          "MB/s",
          ">= 100 MB/s",
          rate >= 100};
}

Row UnescapeLinearFigure(size_t size, const std::string& large) {
  std::vector<std::string> pool;
  for (size_t k = 0; k < size / kMiB; ++k) pool.push_back(EscapeDense(kMiB, 20 + k));
  return LinearFigure("Text_UnescapeUnicode, large vs 1 MiB (ms)", pool, large,
                      [](const std::string& text) { return Text_UnescapeUnicode(text).size(); });
}

// The entry texts of a trace reply as the report decodes them, one call
// each: times as they are, contexts of escaped Chinese, contexts of code page
// 936 text. Nanoseconds per text, beside a plain copy of each.
Row ShortTextsFigure() {
  std::vector<std::string> texts;
  char escape[8];
  for (int i = 0; i < 30000; ++i) {
    char time[32];
    std::snprintf(time, sizeof time, "2016-09-%02d %02d:%02d:%02d", 1 + i % 28, i % 24, i % 60,
                  (i / 60) % 60);
    texts.push_back(time);
    std::string context;
    for (int k = 0; k < 15; ++k) {
      std::snprintf(escape, sizeof escape, "\\u%04x", 0x4E00 + (i * 7 + k * 13) % 0x5000);
      context += escape;
    }
    texts.push_back(context + " #" + std::to_string(i));
    texts.push_back(Gbk("快件已到达【上海转运中心】，正在派送 #") + std::to_string(i));
  }
  const double ours = Time([&] {
    for (const std::string& text : texts) g_sink = Text_UnescapeUnicode(text).size();
  });
  const double reference = Time([&] {
    for (const std::string& text : texts) g_sink = std::string(text).size();
  });
  const double perText = ours / texts.size() * 1e9;
  return {"Text_UnescapeUnicode, entry texts (ns; ref copy)",
          perText,
          reference / texts.size() * 1e9,
          "ns",
          "report: see bench_query",
          true};
}

// The code page tables are built as texts need them, so their cost falls on
// the first conversions of each run: measured in a fresh child process each
// time (best of 7), before this process converts anything itself.
double FirstUseMs(const std::function<void()>& work) {
  double best = 1e9;
  for (int run = 0; run < 7; ++run) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
      const auto begin = std::chrono::steady_clock::now();
      work();
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
              .count();
      const ssize_t written = write(pipeEnds[1], &ms, sizeof ms);
      _exit(written == sizeof ms ? 0 : 1);
    }
    close(pipeEnds[1]);
    double ms = 1e9;
    if (read(pipeEnds[0], &ms, sizeof ms) == sizeof ms) best = std::min(best, ms);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
  }
  return best;
}

// What the tables used to cost: iconv asked once per double-byte code and
// once per UTF-16 unit.
void AskIconvPerCharacter() {
  const auto ask = [](iconv_t handle, char first, char second) {
    char in[2] = {first, second}, out[8];
    char* inCursor = in;
    char* outCursor = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    iconv(handle, &inCursor, &inLeft, &outCursor, &outLeft);
    g_sink = outLeft;
  };
  iconv_t decoder = iconv_open("UTF-16LE", "CP936");
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) ask(decoder, static_cast<char>(lead), static_cast<char>(trail));
    }
  }
  iconv_close(decoder);
  iconv_t encoder = iconv_open("CP936", "UTF-16LE");
  for (int unit = 0x80; unit <= 0xFFFF; ++unit) {
    if (unit < 0xD800 || unit > 0xDFFF) {
      ask(encoder, static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8));
    }
  }
  iconv_close(encoder);
}

// A text with every double-byte code, and one with every BMP unit but the surrogates.
void ConvertEveryCharacter() {
  std::string codes;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) codes += {static_cast<char>(lead), static_cast<char>(trail)};
    }
  }
  std::u16string units;
  for (int unit = 0x80; unit <= 0xFFFF; ++unit) {
    if (unit < 0xD800 || unit > 0xDFFF) units.push_back(static_cast<char16_t>(unit));
  }
  g_sink = Code_GbkToUtf16(codes).size() + Code_Utf16ToGbk(units).size();
}

std::vector<Row> StartUpFigures() {
  const double perCharacter = FirstUseMs(AskIconvPerCharacter);
  const double firstText = FirstUseMs([] {
    // What a program start converts: a few captions, a reply, a report line.
    const Text caption = Gbk("查询快递单号");
    g_sink =
        Code_GbkToUtf8(caption).size() + Code_GbkToUtf16(Gbk("快件已签收，签收人：本人")).size();
  });
  const double everything = FirstUseMs(ConvertEveryCharacter);
  return {{"Code page tables, first Chinese texts of a run (ms)", firstText, perCharacter, "ms",
           "<= 1/4 per-character build", firstText <= perCharacter / 4},
          {"Code page tables, every character once (ms)", everything, perCharacter, "ms",
           "<= per-character build", everything <= perCharacter}};
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const size_t mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 16;
  const size_t size = mib * kMiB;
  const std::vector<Row> startUp = StartUpFigures();  // before this process converts anything
  Gbk("表格");  // builds what the figures below need outside any timing

  std::printf("Text layer, %zu MiB inputs; best of 7 runs each\n\n", mib);
  std::printf("| %-52s | %10s | %10s | %-6s | %-26s | %-4s |\n", "figure", "ours", "reference",
              "unit", "target", "ok");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(12, '-').c_str(),
              std::string(12, '-').c_str(), std::string(8, '-').c_str(),
              std::string(28, '-').c_str(), std::string(6, '-').c_str());
  bool allHold = true;
  const std::string escapes = EscapeDense(size, 5);
  std::vector<Row> rows = startUp;
  for (const Row& row :
       {FindFigure(size), BetweenFigure(size), ReplaceFigure(size), Utf8ToAnsiFigure(size),
        UnescapeRateFigure(escapes), UnescapeLinearFigure(size, escapes), ShortTextsFigure()}) {
    rows.push_back(row);
  }
  for (const Row& row : rows) {
    Print(row);
    allHold = allHold && row.holds;
  }
  std::printf(
      "\nreference column: memmem on the same bytes (find, between); one 1 MiB call, averaged\n"
      "over a pool of 1 MiB texts as large as the large text (linearity); a plain copy of\n"
      "the input (conversion, unescape); iconv asked once per double-byte code and once per\n"
      "UTF-16 unit, as the tables used to be built (code page tables; each figure the best of 7\n"
      "fresh processes)\n");
  return allHold ? 0 : 1;
}
