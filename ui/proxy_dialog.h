// "Параметры proxy-сервера": no proxy, the automatic search, or a server
// chosen by hand.
#pragma once

#include <QDialog>

#include "core/config.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace px::ui {

class ProxyDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit ProxyDialog(const ProxySettings& proxy, QWidget* parent = nullptr);
  // The settings as OK takes them; "saved" is false.
  ProxySettings Result() const;

  QRadioButton* NoneButton() const { return none_; }
  QRadioButton* AutoButton() const { return auto_; }
  QRadioButton* ManualButton() const { return manual_; }
  QLineEdit* ServerField() const { return server_; }
  QSpinBox* PortField() const { return port_; }
  QLineEdit* UserField() const { return user_; }
  QLineEdit* PasswordField() const { return password_; }

 private:
  void UpdateEnabled();
  QRadioButton* none_;
  QRadioButton* auto_;
  QRadioButton* manual_;
  QLineEdit* server_;
  QSpinBox* port_;
  QLineEdit* user_;
  QLineEdit* password_;
};

}  // namespace px::ui
