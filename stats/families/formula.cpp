#include "stats/families/formula.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace px {

namespace {

constexpr size_t kMaxDepth = 64;
constexpr const char* kFunctions[] = {"ARCTAN", "COS",  "SIN",   "TAN",   "ABS",    "EXP",    "LN",   "LOG", "SQRT",
                                      "SQR",    "INT",  "FRAC",  "TRUNC", "ROUND",  "ARCSIN", "ARCCOS", "SIGN", "NOT"};
enum Function : uint8_t {
  kArctan, kCos, kSin, kTan, kAbs, kExp, kLn, kLog, kSqrt, kSqr, kInt, kFrac, kTrunc, kRound, kArcsin, kArccos,
  kSign, kNot
};

std::optional<long double> Apply(uint8_t f, long double x) {
  switch (f) {
    case kArctan: return atanl(x);
    case kCos: return cosl(x);
    case kSin: return sinl(x);
    case kTan: return tanl(x);
    case kAbs: return fabsl(x);
    case kExp: return expl(x);
    case kLn: return x > 0 ? std::optional<long double>(logl(x)) : std::nullopt;
    case kLog: return x > 0 ? std::optional<long double>(log10l(x)) : std::nullopt;
    case kSqrt: return x >= 0 ? std::optional<long double>(sqrtl(x)) : std::nullopt;
    case kSqr: return x * x;
    case kInt:
    case kTrunc: return truncl(x);
    case kFrac: return x - truncl(x);
    case kRound: return nearbyintl(x);  // halves to even in the default rounding mode
    case kArcsin: return fabsl(x) <= 1 ? std::optional<long double>(asinl(x)) : std::nullopt;
    case kArccos: return fabsl(x) <= 1 ? std::optional<long double>(acosl(x)) : std::nullopt;
    case kSign: return x > 0 ? 1.0L : (x < 0 ? -1.0L : 0.0L);
    case kNot: return x == 0 ? 1.0L : 0.0L;
  }
  return std::nullopt;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

Formula::Formula(const std::string& text) { valid_ = Compile(text); }

bool Formula::Compile(const std::string& text) {
  text_.clear();
  for (char c : text) text_.push_back(Piece{-1, c});
  // n1..n5, then p1..p5, then t1..t5, each pass left to right; a number put
  // in is not read again by a later pass.
  const char letters[] = {'n', 'p', 't'};
  for (int l = 0; l < 3; ++l) {
    std::vector<Piece> out;
    for (size_t i = 0; i < text_.size(); ++i) {
      const Piece& a = text_[i];
      if (a.variable < 0 && std::tolower(static_cast<unsigned char>(a.character)) == letters[l] &&
          i + 1 < text_.size() && text_[i + 1].variable < 0 && text_[i + 1].character >= '1' &&
          text_[i + 1].character <= '5') {
        out.push_back(Piece{int8_t(l * 5 + (text_[i + 1].character - '1')), 0});
        ++i;
        continue;
      }
      out.push_back(a);
    }
    text_ = std::move(out);
  }
  // Blanks and control characters go; letters are read in capitals.
  std::vector<Piece> clean;
  for (const Piece& p : text_) {
    if (p.variable < 0 && static_cast<unsigned char>(p.character) <= 32) continue;
    Piece q = p;
    if (q.variable < 0 && q.character >= 'a' && q.character <= 'z') q.character = char(q.character - 32);
    clean.push_back(q);
  }
  text_ = std::move(clean);
  int nesting = 0;
  for (const Piece& p : text_) {
    if (p.variable >= 0) continue;
    if (p.character == '(') ++nesting;
    if (p.character == ')' && --nesting < 0) return false;
  }
  if (nesting != 0 || text_.empty()) return false;
  if (text_[0].variable < 0 && (text_[0].character == '+' || text_[0].character == '-'))
    text_.insert(text_.begin(), Piece{-1, '0'});

  size_t at = 0;
  if (!ParseExpression(at, true)) return false;
  // The stack the program needs.
  size_t depth = 0, deepest = 0;
  for (const Step& s : program_) {
    if (s.op == Op::Number || s.op == Op::Constant || s.op == Op::Variable)
      deepest = std::max(deepest, ++depth);
    else if (s.op != Op::Function)
      --depth;
  }
  depth_ = deepest;
  return depth == 1 && deepest <= kMaxDepth;
}

bool Formula::ParseExpression(size_t& at, bool topLevel) {
  if (!ParseTerm(at)) return false;
  while (at < text_.size() && text_[at].variable < 0 && (text_[at].character == '+' || text_[at].character == '-')) {
    const Op op = text_[at].character == '+' ? Op::Add : Op::Sub;
    ++at;
    if (!ParseTerm(at)) return false;
    program_.push_back(Step{op});
  }
  if (at == text_.size()) return topLevel;
  const char c = text_[at].variable < 0 ? text_[at].character : 'x';
  // At the top what follows is ignored; inside parentheses only ")" may close.
  if (topLevel) return c == ')' || c == ',' || c == '<' || c == '=' || c == '>';
  return c == ')';
}

bool Formula::ParseTerm(size_t& at) {
  if (!ParseFactor(at)) return false;
  while (at < text_.size() && text_[at].variable < 0 &&
         (text_[at].character == '*' || text_[at].character == '/' || text_[at].character == '^')) {
    const char c = text_[at].character;
    ++at;
    if (!ParseFactor(at)) return false;
    program_.push_back(Step{c == '*' ? Op::Mul : (c == '/' ? Op::Div : Op::Pow)});
  }
  return true;
}

bool Formula::ParseFactor(size_t& at) {
  if (at >= text_.size()) return false;
  auto numeric = [&](size_t i) { return i < text_.size() && (text_[i].variable >= 0 || IsDigit(text_[i].character)); };
  const Piece& p = text_[at];
  if (numeric(at)) {
    Step s{Op::Number};
    s.first = uint16_t(pieces_.size());
    while (numeric(at)) pieces_.push_back(text_[at++]);
    if (at < text_.size() && text_[at].variable < 0 && text_[at].character == '.') {
      if (!numeric(at + 1)) return false;  // "1." is no number
      pieces_.push_back(text_[at++]);
      while (numeric(at)) pieces_.push_back(text_[at++]);
    }
    s.count = uint16_t(pieces_.size() - s.first);
    // Most numbers are digits alone or one variable alone: no work per evaluation.
    bool variables = false;
    for (size_t i = s.first; i < pieces_.size(); ++i) variables = variables || pieces_[i].variable >= 0;
    if (!variables) {
      const Numbers none{};
      const Numbers* vars[3] = {&none, &none, &none};
      s.constant = NumberValue(s, vars);
      s.op = Op::Constant;
    } else if (s.count == 1) {
      s.op = Op::Variable;
      s.function = uint8_t(pieces_[s.first].variable);
    }
    program_.push_back(s);
    return pieces_.size() < 0xFFFF;
  }
  if (p.character == '(') {
    ++at;
    if (!ParseExpression(at, false)) return false;
    ++at;  // the ")" ParseExpression stopped at
    return true;
  }
  if (IsLetter(p.character)) {
    std::string name;
    while (at < text_.size() && text_[at].variable < 0 && IsLetter(text_[at].character)) name += text_[at++].character;
    if (at >= text_.size() || text_[at].variable >= 0 || text_[at].character != '(') return false;
    uint8_t f = 0;
    while (f < std::size(kFunctions) && name != kFunctions[f]) ++f;
    if (f == std::size(kFunctions)) return false;
    ++at;
    if (!ParseExpression(at, false)) return false;
    ++at;
    Step s{Op::Function};
    s.function = f;
    program_.push_back(s);
    return true;
  }
  return false;  // a sign, a point or anything else where a factor must stand
}

long double Formula::NumberValue(const Step& s, const Numbers* vars[3]) const {
  // All digits as one integer over a power of ten: exact where it can be.
  uint64_t mantissa = 0;
  int decimals = 0;
  bool point = false, exact = true;
  long double rough = 0, scale = 1;
  auto digit = [&](int d) {
    if (point) ++decimals;
    if (mantissa <= (UINT64_MAX - 9) / 10) {
      mantissa = mantissa * 10 + uint64_t(d);
    } else {
      exact = false;
    }
    if (point) {
      scale /= 10;
      rough += d * scale;
    } else {
      rough = rough * 10 + d;
    }
  };
  for (size_t i = s.first; i < size_t(s.first) + s.count; ++i) {
    const Piece& p = pieces_[i];
    if (p.variable >= 0) {
      // Its decimal digits, most significant first.
      unsigned v = unsigned(std::abs((*vars[p.variable / 5])[size_t(p.variable % 5)]));
      int digits[12], len = 0;
      do {
        digits[len++] = int(v % 10);
        v /= 10;
      } while (v > 0);
      while (len > 0) digit(digits[--len]);
    } else if (p.character == '.') {
      point = true;
    } else {
      digit(p.character - '0');
    }
  }
  if (exact && decimals <= 27) return static_cast<long double>(mantissa) / powl(10.0L, decimals);
  return rough;
}

std::optional<long double> Formula::Evaluate(const Numbers& n, const Numbers& p, const Numbers& t) const {
  if (!valid_) return std::nullopt;
  const Numbers* vars[3] = {&n, &p, &t};
  std::array<long double, kMaxDepth> stack;
  size_t top = 0;
  for (const Step& s : program_) {
    long double r = 0;
    switch (s.op) {
      case Op::Constant: stack[top++] = s.constant; continue;
      case Op::Variable: stack[top++] = std::abs((*vars[s.function / 5])[s.function % 5]); continue;
      case Op::Number: stack[top++] = NumberValue(s, vars); continue;
      default: break;
    }
    if (s.op == Op::Function) {
      const auto v = Apply(s.function, stack[top - 1]);
      if (!v) return std::nullopt;
      r = *v;
      --top;
    } else {
      const long double b = stack[--top], a = stack[--top];
      switch (s.op) {
        case Op::Add: r = a + b; break;
        case Op::Sub: r = a - b; break;
        case Op::Mul: r = a * b; break;
        case Op::Div:
          if (b == 0) return std::nullopt;
          r = a / b;
          break;
        case Op::Pow: r = powl(a, b); break;
        default: return std::nullopt;
      }
    }
    if (!std::isfinite(r)) return std::nullopt;
    stack[top++] = r;
  }
  return stack[0];
}

int32_t Formula::Value(const Numbers& n, const Numbers& p, const Numbers& t, int digits) const {
  const auto x = Evaluate(n, p, t);
  if (!x) return 0;
  static constexpr long double kPowers[] = {1, 10, 100, 1000, 10000, 100000};
  const long double limit = kPowers[std::clamp(digits, 1, 5)];
  const long double a = fabsl(*x);
  // The small lift keeps exact decimals whole: 0.58 is 58, not 57.
  const long double v = floorl((a - floorl(a)) * limit + 1e-9L);
  return v >= limit || v < 0 ? 0 : int32_t(v);
}

int32_t ShreddingValue(const Formula::Numbers& n, const Formula::Numbers& p, const Formula::Numbers& t, int digits,
                       const std::string& formula) {
  return Formula(formula).Value(n, p, t, digits);
}

}  // namespace px
