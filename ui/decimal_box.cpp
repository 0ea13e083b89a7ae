#include "ui/decimal_box.h"

#include <charconv>
#include <string>

#include "core/text.h"

namespace px::ui {

QString FixedText(double value, int places, char separator) {
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, places);
  std::string out(buf, ec == std::errc() ? end : buf);
  if (out.find_first_of("123456789") == std::string::npos && !out.empty() && out[0] == '-') out.erase(0, 1);
  for (char& c : out)
    if (c == '.') c = separator;
  return QString::fromStdString(out);
}

std::optional<long double> ReadDecimal(const QString& text, char separator) {
  const std::string s = text.trimmed().toStdString();
  if (s.find(separator == ',' ? '.' : ',') != std::string::npos) return std::nullopt;
  return ParseDecimal(s);
}

DecimalBox::DecimalBox(int places, double minimum, double maximum, char separator, QWidget* parent)
    : QDoubleSpinBox(parent), separator_(separator) {
  setDecimals(places);
  setRange(minimum, maximum);
}

QString DecimalBox::textFromValue(double value) const { return FixedText(value, decimals(), separator_); }

double DecimalBox::valueFromText(const QString& text) const {
  auto v = ReadDecimal(text, separator_);
  return v ? static_cast<double>(*v) : value();
}

QValidator::State DecimalBox::validate(QString& input, int&) const {
  const QString s = input.trimmed();
  int separators = 0;
  int places = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('-') && i == 0 && minimum() < 0) continue;
    if (c == QLatin1Char(separator_)) {
      if (++separators > 1) return QValidator::Invalid;
      continue;
    }
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return QValidator::Invalid;
    if (separators > 0) ++places;
  }
  if (places > decimals()) return QValidator::Invalid;
  auto v = ReadDecimal(s, separator_);
  if (!v || *v < minimum() || *v > maximum()) return QValidator::Intermediate;
  return QValidator::Acceptable;
}

long double ExactValue(const QDoubleSpinBox* box, char separator) {
  return ReadDecimal(box->textFromValue(box->value()), separator).value_or(box->value());
}

}  // namespace px::ui
