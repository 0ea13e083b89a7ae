#include "ui/proxy_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace px::ui {

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
}  // namespace

ProxyDialog::ProxyDialog(const ProxySettings& p, QWidget* parent) : QDialog(parent) {
  setWindowTitle(U("Параметры proxy-сервера"));
  none_ = new QRadioButton(U("Не использовать proxy-сервер"), this);
  auto_ = new QRadioButton(U("Автоматический поиск сервера (возможны задержки)"), this);
  manual_ = new QRadioButton(U("Ручной выбор proxy-сервера:"), this);
  server_ = new QLineEdit(QString::fromStdString(p.server), this);
  port_ = new QSpinBox(this);
  port_->setRange(1, 65535);
  port_->setValue(p.port >= 1 && p.port <= 65535 ? p.port : 80);
  user_ = new QLineEdit(QString::fromStdString(p.user), this);
  user_->setToolTip(U("Имя пользователя (не обязательно)"));
  password_ = new QLineEdit(QString::fromStdString(p.password), this);
  password_->setToolTip(U("Пароль (не обязательно)"));
  password_->setEchoMode(QLineEdit::Password);
  // A stored mode outside 0..2 shows as "none".
  (p.mode == 1 ? auto_ : p.mode == 2 ? manual_ : none_)->setChecked(true);

  auto* form = new QFormLayout;
  form->addRow(U("Имя или адрес сервера:"), server_);
  form->addRow(U("Порт:"), port_);
  form->addRow(U("Имя пользователя:"), user_);
  form->addRow(U("Пароль:"), password_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(none_);
  layout->addWidget(auto_);
  layout->addWidget(manual_);
  layout->addLayout(form);
  layout->addWidget(buttons);
  for (QRadioButton* b : {none_, auto_, manual_}) connect(b, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

void ProxyDialog::UpdateEnabled() {
  const bool manual = manual_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{server_, port_, user_, password_}) w->setEnabled(manual);
}

ProxySettings ProxyDialog::Result() const {
  ProxySettings p;
  p.server = server_->text().trimmed().toStdString();
  p.port = port_->value();
  p.user = user_->text().toStdString();
  p.password = password_->text().toStdString();
  p.saved = false;
  if (manual_->isChecked()) {
    p.mode = 2;
  } else if (auto_->isChecked()) {
    p.mode = 1;
    p.server.clear();
    p.user.clear();
    p.password.clear();
    p.port = 0;
  } else {
    p.mode = 0;
  }
  return p;
}

}  // namespace px::ui
