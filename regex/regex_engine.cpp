#include "regex/regex_engine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace {

// The dialect's closest PCRE2 options. MATCH_INVALID_UTF keeps a lone
// surrogate from failing the whole search; DOLLAR_ENDONLY makes "$" outside
// multi-line mode match only at the very end. Multi-line mode itself is done
// by the translated pattern, which knows the dialect's four line terminators.
constexpr uint32_t CompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                                    PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                                    PCRE2_DOLLAR_ENDONLY;

// Bounds that end a runaway search (catastrophic backtracking) in well under
// a second while leaving room for long subjects with long lazy groups. The
// JIT stack's maximum is address space reserved up front and backed only as
// deep as a search goes; a search that still outgrows it is run again by the
// interpreter, which keeps its backtracking on the heap up to the heap limit.
constexpr uint32_t MatchLimit = 10'000'000;
constexpr uint32_t HeapLimitKiB = 512 * 1024;
constexpr size_t JitStackStart = 64 * 1024;
constexpr size_t JitStackMax = 256 * 1024 * 1024;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

struct RegexEngine::Handles {
  pcre2_code* code = nullptr;
  bool jit = false;
  ~Handles() { pcre2_code_free(code); }
};

namespace {

// Per search: match data, a match context with the limits, and a JIT stack.
class SearchState {
 public:
  explicit SearchState(const pcre2_code* code)
      : data_(pcre2_match_data_create_from_pattern(code, nullptr)),
        context_(pcre2_match_context_create(nullptr)) {
    if (context_) {
      pcre2_set_match_limit(context_, MatchLimit);
      pcre2_set_heap_limit(context_, HeapLimitKiB);
    }
  }
  ~SearchState() {
    pcre2_jit_stack_free(jitStack_);
    pcre2_match_context_free(context_);
    pcre2_match_data_free(data_);
  }
  SearchState(const SearchState&) = delete;
  SearchState& operator=(const SearchState&) = delete;

  bool Usable() const { return data_ && context_; }

  // One search from start; the match result code of PCRE2.
  int Match(const pcre2_code* code, bool jit, std::u16string_view subject, size_t start) {
    if (jit && !jitStack_) {
      jitStack_ = pcre2_jit_stack_create(JitStackStart, JitStackMax, nullptr);
      pcre2_jit_stack_assign(context_, nullptr, jitStack_);
    }
    const auto units = reinterpret_cast<PCRE2_SPTR>(subject.data());
    int rc =
        pcre2_match(code, units, subject.size(), start, jit ? 0 : PCRE2_NO_JIT, data_, context_);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
      rc = pcre2_match(code, units, subject.size(), start, PCRE2_NO_JIT, data_, context_);
    return rc;
  }

  const PCRE2_SIZE* Offsets() const { return pcre2_get_ovector_pointer(data_); }

 private:
  pcre2_match_data* data_;
  pcre2_match_context* context_;
  pcre2_jit_stack* jitStack_ = nullptr;
};

}  // namespace

RegexEngine::RegexEngine(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {
  uint32_t count = 0;
  pcre2_pattern_info(handles_->code, PCRE2_INFO_CAPTURECOUNT, &count);
  groupCount_ = static_cast<int>(count);
}

RegexEngine::~RegexEngine() = default;

std::unique_ptr<RegexEngine> RegexEngine::Compile(std::u16string_view pcrePattern, bool caseless) {
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(
      reinterpret_cast<PCRE2_SPTR>(pcrePattern.data()), pcrePattern.size(),
      CompileOptions | (caseless ? PCRE2_CASELESS : 0), &error, &errorOffset, nullptr);
  if (!code) return nullptr;
  auto handles = std::make_unique<Handles>();
  handles->code = code;
  // Without JIT support (or when it refuses the pattern) the interpreter runs.
  handles->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
  return std::unique_ptr<RegexEngine>(new RegexEngine(std::move(handles)));
}

RegexSpans RegexEngine::FindAll(std::u16string_view subject, bool global) const {
  RegexSpans spans;
  spans.groupCount = groupCount_;
  SearchState search(handles_->code);
  if (!search.Usable()) return spans;
  const size_t pairs = spans.PairsPerMatch() / 2;
  size_t start = 0;
  while (start <= subject.size()) {
    const int rc = search.Match(handles_->code, handles_->jit, subject, start);
    if (rc < 0) break;  // no further match, or a limit was hit: what was found stands
    const PCRE2_SIZE* ovector = search.Offsets();
    for (size_t g = 0; g < pairs; ++g) {
      const bool set = g < static_cast<size_t>(rc) && ovector[2 * g] != PCRE2_UNSET;
      spans.offsets.push_back(set ? static_cast<int>(ovector[2 * g]) : -1);
      spans.offsets.push_back(set ? static_cast<int>(ovector[2 * g + 1]) : -1);
    }
    if (!global) break;
    const size_t matchStart = ovector[0];
    const size_t matchEnd = ovector[1];
    start = matchEnd;
    if (matchEnd <= matchStart) {
      // An empty match: step over one whole character before searching again.
      if (matchEnd >= subject.size()) break;
      start = matchEnd + 1;
      if (IsHighSurrogate(subject[matchEnd]) && start < subject.size() &&
          IsLowSurrogate(subject[start]))
        ++start;
    }
  }
  return spans;
}
