// The shredding formulas: arithmetic over the numbers of a draw (n1..n5),
// the draw before it (p1..p5) and the one before that (t1..t5).
//
// A formula is compiled once; evaluating it allocates nothing. The language
// is the program's own: "+" and "-" below "*", "/" and "^", which share one
// level and apply left to right; the functions ARCTAN COS SIN TAN ABS EXP LN
// LOG SQRT SQR INT FRAC TRUNC ROUND ARCSIN ARCCOS SIGN NOT; numbers are digits
// with an optional "." and digits. The variables are replaced in the text
// before it is read, so "2n1" with n1 = 5 reads 25. Any error (syntax,
// parentheses, an unknown name, division by zero, an invalid argument, a
// result that is not finite) makes the value 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace px {

class Formula {
 public:
  using Numbers = std::array<int, 5>;

  explicit Formula(const std::string& text);

  // The formula's result, or nullopt on any error.
  std::optional<long double> Evaluate(const Numbers& n, const Numbers& p, const Numbers& t) const;
  // The first `digits` (clamped to 1..5) digits after the point of |result|;
  // 0 on any error.
  int32_t Value(const Numbers& n, const Numbers& p, const Numbers& t, int digits) const;

 private:
  // A number as written: digits, the point and variables, in text order.
  struct Piece {
    int8_t variable = -1;  // 0..14: n1..n5, p1..p5, t1..t5; -1: the character
    char character = 0;
  };
  enum class Op : uint8_t { Constant, Variable, Number, Add, Sub, Mul, Div, Pow, Function };
  struct Step {
    Op op = Op::Number;
    uint8_t function = 0;           // or the variable 0..14
    uint16_t first = 0, count = 0;  // the pieces of a number made of variables and digits
    long double constant = 0;
  };

  bool Compile(const std::string& text);
  bool ParseExpression(size_t& at, bool topLevel);
  bool ParseTerm(size_t& at);
  bool ParseFactor(size_t& at);
  long double NumberValue(const Step& s, const Numbers* vars[3]) const;

  std::vector<Piece> text_;   // the formula after substitution and clean-up
  std::vector<Piece> pieces_;
  std::vector<Step> program_;  // postfix
  size_t depth_ = 0;           // the evaluation stack it needs
  bool valid_ = false;
};

// The value of a shredding method: Formula(text).Value(...).
int32_t ShreddingValue(const Formula::Numbers& n, const Formula::Numbers& p, const Formula::Numbers& t, int digits,
                       const std::string& formula);

}  // namespace px
