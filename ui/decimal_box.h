// Decimal fields that show and accept the separator of the user's locale,
// whatever Qt thinks it is, and give back exactly the value shown.
#pragma once

#include <QDoubleSpinBox>
#include <optional>

namespace px::ui {

// Fixed text with the given places and separator, independent of LC_NUMERIC.
QString FixedText(double value, int places, char separator);
// Only the separator in force is a decimal point; the other one makes the
// text unreadable, as it would for the person who typed it.
std::optional<long double> ReadDecimal(const QString& text, char separator);

class DecimalBox final : public QDoubleSpinBox {
 public:
  DecimalBox(int places, double minimum, double maximum, char separator, QWidget* parent);
  QString textFromValue(double value) const override;
  double valueFromText(const QString& text) const override;
  QValidator::State validate(QString& input, int& pos) const override;

 private:
  char separator_;
};

// The text as shown, read back, so that 0.1 becomes 0.1L rather than the
// double nearest to it.
long double ExactValue(const QDoubleSpinBox* box, char separator);

}  // namespace px::ui
