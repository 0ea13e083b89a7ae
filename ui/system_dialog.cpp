#include "ui/system_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStringDecoder>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/codec.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/frame.h"
#include "stakes/system_check.h"
#include "ui/desktop.h"
#include "ui/page_context.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
// The text edits hold LF; the system's texts end their lines with CR LF.
QString Shown(const std::string& text) { return Q(text).replace("\r\n", "\n").replace('\r', '\n'); }
std::string Stored(const QString& text) {
  std::string s = S(text);
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

constexpr size_t kMaxGuaranteeLines = 20000;

const FileFilter kTextFiles{"Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*", "txt"};

void Hint(QWidget* w, const char* hint) {
  w->setToolTip(U(hint));
  w->setStatusTip(U(hint));
}

// A file chosen by the person: UTF-8 when it is, else the system files' cp1251.
std::string TextOfFile(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(QByteArray::fromStdString(bytes));
  return utf8.hasError() ? Cp1251ToUtf8(bytes) : S(text);
}

}  // namespace

TFormSystem::TFormSystem(PageContext& context, const tSystemData& data, bool editable, QWidget* parent)
    : QDialog(parent), context_(context), held_(data), editable_(editable) {
  setObjectName("TFormSystem");
  setWindowTitle(U("Система"));
  auto line = [this](const char* name, const char* hint) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    Hint(e, hint);
    return e;
  };
  title_ = line("edTitle", "Название системы");
  numbers_ = line("edNumbers", "Количество используемых чисел");
  length_ = line("edLength", "Длина одной комбинации");
  block_ = line("edBlock", "Длина блока");
  count_ = line("edCount", "Количество комбинаций в списке");
  author_ = line("edAuthor", "Автор системы");
  url_ = line("edUrl", "Ссылка на интернет-ресурс");
  created_ = line("edCreated", "Время создания системы");
  downloads_ = line("edDownloads", "Количество загрузок пользователями");
  last_ = line("edLast", "Время последней загрузки");
  description_ = new QPlainTextEdit(this);
  description_->setObjectName("meDescription");
  Hint(description_, "Описание системы");
  description_->setTabChangesFocus(true);
  combinations_ = new QPlainTextEdit(this);
  combinations_->setObjectName("meCombinations");
  Hint(combinations_, "Список комбинаций системы");
  combinations_->setLineWrapMode(QPlainTextEdit::NoWrap);
  combinations_->setTabChangesFocus(true);
  QFont fixed = combinations_->font();
  fixed.setFamily("monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  combinations_->setFont(fixed);
  urlButton_ = new QToolButton(this);
  urlButton_->setObjectName("btnUrl");
  urlButton_->setText(U("..."));
  Hint(urlButton_, "Открыть ссылку в браузере");

  for (QLineEdit* e : {numbers_, block_}) {
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    e->installEventFilter(this);
  }
  for (QLineEdit* e : {length_, count_, created_, downloads_, last_}) {
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
  }

  // The fields from the data.
  title_->setText(Q(data.title));
  numbers_->setText(QString::number(data.numberCount));
  length_->setText("5");
  block_->setText(QString::number(data.blockLength));
  count_->setText(QString::number(data.combinationCount));
  description_->setPlainText(Q(data.description));
  author_->setText(Q(data.author));
  url_->setText(Q(data.url));
  created_->setText(Q(LocalTimeText(data.created > 0 ? data.created : 0)));
  downloads_->setText(QString::number(data.downloads));
  last_->setText(Q(LocalTimeText(data.lastDownload > 0 ? data.lastDownload : 0)));
  combinations_->setPlainText(Shown(data.combinations));

  guaranteeNote_ = new QLabel(this);
  guaranteeNote_->setObjectName("lbGuarantee");
  guaranteeNote_->setWordWrap(true);
  guarantee_ = new QTableWidget(4, 4, this);
  guarantee_->setObjectName("tbGuarantee");
  guarantee_->setHorizontalHeaderLabels(
      {U("Угадано"), U("Гарантия"), U("Сочетаний"), U("Больше гарантии")});
  guarantee_->verticalHeader()->setVisible(false);
  guarantee_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  guarantee_->setSelectionMode(QAbstractItemView::NoSelection);
  guarantee_->setFocusPolicy(Qt::NoFocus);
  guarantee_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  guarantee_->setToolTip(U("Для каждого количества угаданных среди чисел системы: сколько из них всегда "
                           "совпадает хотя бы с одной комбинацией, и какая доля сочетаний даёт больше"));

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(U("ОК"), QDialogButtonBox::AcceptRole);
  ok_->setObjectName("btnOk");
  Hint(ok_, "Сохранить изменения");
  close_ = buttons->addButton(U("Закрыть"), QDialogButtonBox::RejectRole);
  close_->setObjectName("btnClose");
  Hint(close_, "Закрыть окно");
  connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(urlButton_, &QToolButton::clicked, this, [this] {
    const std::string url = Trim(S(url_->text()));
    if (!url.empty()) context_.GetDesktop().OpenUrl(url);
  });
  connect(url_, &QLineEdit::textChanged, this, [this] { urlButton_->setEnabled(!url_->text().trimmed().isEmpty()); });
  urlButton_->setEnabled(!url_->text().trimmed().isEmpty());
  combinations_->installEventFilter(this);
  combinations_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(combinations_, &QPlainTextEdit::customContextMenuRequested, this, [this](const QPoint& at) {
    FollowMenu();
    context_.GetDesktop().PopupMenu(*menu_, combinations_->mapToGlobal(at));
  });

  auto* grid = new QGridLayout;
  int row = 0;
  auto add = [&](const char* label, QWidget* field, int span = 3) {
    auto* l = new QLabel(U(label), this);
    l->setBuddy(field);
    grid->addWidget(l, row, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(field, row, 1, 1, span);
    ++row;
  };
  add("Наименование:", title_);
  {
    // The three counts share a row.
    auto* counts = new QHBoxLayout;
    for (auto [label, field] : {std::pair{"Числа:", numbers_}, {"Длина:", length_}, {"Блок:", block_},
                                {"Комбинаций:", count_}}) {
      auto* l = new QLabel(U(label), this);
      l->setBuddy(field);
      field->setMaximumWidth(70);
      counts->addWidget(l);
      counts->addWidget(field);
    }
    counts->addStretch(1);
    grid->addLayout(counts, row++, 0, 1, 4);
  }
  add("Описание:", description_);
  description_->setMaximumHeight(80);
  add("Автор:", author_);
  {
    auto* l = new QLabel(U("Ссылка:"), this);
    l->setBuddy(url_);
    grid->addWidget(l, row, 0);
    auto* link = new QHBoxLayout;
    link->addWidget(url_);
    link->addWidget(urlButton_);
    grid->addLayout(link, row++, 1, 1, 3);
  }
  {
    auto* times = new QHBoxLayout;
    for (auto [label, field] : {std::pair{"Создана:", created_}, {"Загрузок:", downloads_}, {"Последняя:", last_}}) {
      auto* l = new QLabel(U(label), this);
      l->setBuddy(field);
      times->addWidget(l);
      times->addWidget(field, field == downloads_ ? 0 : 1);
    }
    downloads_->setMaximumWidth(70);
    grid->addLayout(times, row++, 0, 1, 4);
  }
  auto* listLabel = new QLabel(U("Список комбинаций:"), this);
  listLabel->setBuddy(combinations_);
  grid->addWidget(listLabel, row++, 0, 1, 4);
  auto* lower = new QHBoxLayout;
  lower->addWidget(combinations_, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(guaranteeNote_);
  side->addWidget(guarantee_, 1);
  lower->addLayout(side, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(lower, 1);
  layout->addWidget(buttons);
  resize(760, 620);

  if (!editable_) {
    // Read-only: the fields take the window's colour and only Close remains.
    for (QLineEdit* e : {title_, numbers_, block_, author_, url_}) e->setReadOnly(true);
    for (QPlainTextEdit* e : {description_, combinations_}) e->setReadOnly(true);
    for (QWidget* w : std::initializer_list<QWidget*>{title_, numbers_, block_, author_, url_, description_,
                                                      combinations_, length_, count_, created_, downloads_, last_}) {
      QPalette p = w->palette();
      p.setColor(QPalette::Base, palette().color(QPalette::Window));
      w->setPalette(p);
    }
    ok_->setVisible(false);
    close_->setDefault(true);
    close_->setFocus();
  } else {
    ok_->setDefault(true);
    title_->setFocus();
  }
  BuildMenu();
  ShowGuarantee();
}

tSystemData TFormSystem::Data() const {
  tSystemData d;
  d.id = held_.id;
  d.ownerMail = held_.ownerMail;
  const auto clamp8 = [](int32_t v) { return uint8_t(std::clamp(v, 0, 255)); };
  d.numberCount = clamp8(SystemFormNumber(S(numbers_->text())));
  d.blockLength = clamp8(SystemFormNumber(S(block_->text())));
  d.combinationCount = SystemFormNumber(S(count_->text()));
  d.downloads = SystemFormNumber(S(downloads_->text()));
  d.title = S(title_->text());
  d.author = S(author_->text());
  d.description = S(description_->toPlainText());
  d.url = S(url_->text());
  d.combinations = Stored(combinations_->toPlainText());
  const std::string created = Trim(S(created_->text()));
  if (created.empty())
    d.created = int64_t(std::time(nullptr));
  else
    d.created = ParseLocalTime(created).value_or(int64_t(std::time(nullptr)));
  d.lastDownload = ParseLocalTime(S(last_->text())).value_or(0);
  return d;
}

bool TFormSystem::CheckCombinations() {
  if (!editable_) return true;
  SystemTextCheck check;
  checked_ = combinations_->toPlainText();
  checkedOk_ = false;
  {
    TTemplateMain::Busy busy(context_.Frame());
    try {
      check = CheckSystemCombinations(S(checked_));
    } catch (const Error& e) {
      context_.GetHost().ShowError(e.what());
      return false;
    }
  }
  const QString text = Shown(check.text);
  if (combinations_->toPlainText() != text) combinations_->setPlainText(text);
  checked_ = text;
  checkedOk_ = true;
  numbers_->setText(QString::number(check.numbers));
  count_->setText(QString::number(check.lines));
  ShowGuarantee();
  return true;
}

bool TFormSystem::Accept() {
  if (!editable_) return false;
  const bool seen = combinations_->toPlainText() == checked_;
  if ((seen && !checkedOk_) || (!seen && !CheckCombinations())) {
    combinations_->setFocus();
    return false;
  }
  const SystemFormTexts form{S(title_->text()),  S(numbers_->text()),          S(block_->text()),
                             S(author_->text()), S(description_->toPlainText()), S(combinations_->toPlainText())};
  if (std::optional<SystemFormFault> fault = ValidateSystemForm(form)) {
    context_.GetHost().ShowError(fault->message);
    QWidget* field = nullptr;
    switch (fault->field) {
      case SystemField::Title: field = title_; break;
      case SystemField::Numbers: field = numbers_; break;
      case SystemField::Block: field = block_; break;
      case SystemField::Author: field = author_; break;
      case SystemField::Description: field = description_; break;
      case SystemField::Combinations: field = combinations_; break;
    }
    // Focus moved by the program runs no check on the way out of the text.
    field->setFocus();
    return false;
  }
  accept();
  return true;
}

void TFormSystem::ShowGuarantee() {
  const int k = SystemFormNumber(S(numbers_->text()));
  const std::string text = S(combinations_->toPlainText());
  guarantee_->clearContents();
  if (Trim(text).empty()) {
    guaranteeNote_->setText(U("Гарантия: список комбинаций пуст."));
    return;
  }
  try {
    if (k < kSystemMinNumbers || k > kSystemMaxNumbers)
      throw Error(Fmt("Система для %d чисел невозможна: допустимо от %d до %d.", k, kSystemMinNumbers,
                      kSystemMaxNumbers));
    const std::vector<SystemLine> lines = ParseSystemText(text, k, S(title_->text()));
    // The walk grows with the lines (about 0.1 s per 1,000 at 36 numbers):
    // a huge list would hold the dialog for minutes.
    if (lines.size() > kMaxGuaranteeLines)
      throw Error(Fmt("для систем более чем из %d комбинаций она не вычисляется.", int(kMaxGuaranteeLines)));
    TTemplateMain::Busy busy(context_.Frame());
    const SystemCheck check = CheckSystem(lines, k);
    guaranteeNote_->setText(Q(Fmt("Гарантия для %d чисел: %s", k, GuaranteeSummary(check).c_str())));
    for (int r = 0; r < 4; ++r) {
      const SystemGuarantee& g = check.guarantees[size_t(r)];
      const QString cells[] = {QString("%1 из %2").arg(g.m).arg(k), QString::number(g.t), QString::number(g.subsets),
                               QString::number(g.Share() * 100.0, 'f', 2) + " %"};
      for (int c = 0; c < 4; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(Qt::AlignCenter);
        guarantee_->setItem(r, c, item);
      }
    }
  } catch (const std::exception& e) {
    guaranteeNote_->setText(Q(std::string("Гарантия не определена: ") + e.what()));
  }
}

bool TFormSystem::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == numbers_ || watched == block_) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    // Keys that type a character other than a digit are swallowed; editing
    // and moving keys, Enter and Esc go on.
    const bool character = !typed.isEmpty() && typed[0].isPrint() && !(key->modifiers() & Qt::ControlModifier);
    if (character && !typed[0].isDigit()) {
      QApplication::beep();
      return true;
    }
  }
  if (watched == combinations_ && event->type() == QEvent::FocusOut && editable_) {
    // A popup (its own menu) takes the focus without leaving the text.
    if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) CheckCombinations();
  }
  return QDialog::eventFilter(watched, event);
}

void TFormSystem::BuildMenu() {
  menu_ = new QMenu(this);
  auto item = [this](const char* name, const char* caption, const char* hint, auto run) {
    QAction* a = menu_->addAction(U(caption));
    a->setObjectName(name);
    a->setStatusTip(U(hint));
    a->setToolTip(U(hint));
    connect(a, &QAction::triggered, this, run);
    return a;
  };
  item("SystemCopy", "Копировать в буфер обмена", "Копировать в буфер обмена Windows",
       [this] { context_.GetDesktop().SetClipboardText(S(combinations_->toPlainText())); });
  item("SystemPaste", "Вставить из буфера обмена", "Вставить из буфера обмена Windows", [this] {
    combinations_->setPlainText(Shown(context_.GetDesktop().ClipboardText()));
    CheckCombinations();
  });
  menu_->addSeparator();
  item("SystemSelectAll", "Выделить все", "Выделить все комбинации", [this] { combinations_->selectAll(); });
  menu_->addSeparator();
  item("SystemLoad", "Загрузить из файла", "Загрузить из текстового файла", [this] { LoadFromFile(); });
  item("SystemSave", "Сохранить в файле", "Сохранить в текстовом файле", [this] { SaveToFile(); });
}

QMenu* TFormSystem::CombinationsMenu() {
  FollowMenu();
  return menu_;
}

void TFormSystem::FollowMenu() {
  const bool hasText = !combinations_->toPlainText().isEmpty();
  for (QAction* a : menu_->actions()) {
    const QString name = a->objectName();
    if (name == "SystemCopy") a->setEnabled(combinations_->textCursor().hasSelection());
    if (name == "SystemPaste") a->setEnabled(editable_ && !context_.GetDesktop().ClipboardText().empty());
    if (name == "SystemSelectAll") a->setEnabled(hasText);
    if (name == "SystemLoad") a->setEnabled(editable_);
    if (name == "SystemSave") a->setEnabled(hasText);
  }
}

void TFormSystem::LoadFromFile() {
  if (!editable_) return;
  const std::optional<std::string> path = context_.GetHost().ChooseOpenFile(kTextFiles);
  if (!path) return;
  try {
    combinations_->setPlainText(Shown(TextOfFile(context_.Frame().GetEnv().ReadFile(*path))));
  } catch (const std::exception& e) {
    context_.GetHost().ShowError(e.what());
    return;
  }
  CheckCombinations();
}

void TFormSystem::SaveToFile() {
  const std::optional<std::string> path = context_.GetHost().ChooseSaveFile(kTextFiles);
  if (!path) return;
  std::string text = Stored(combinations_->toPlainText());
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  try {
    WriteFileAtomic(context_.Frame().GetEnv(), *path, Utf8ToCp1251(text));
  } catch (const std::exception& e) {
    context_.GetHost().ShowError(e.what());
  }
}

}  // namespace px::ui
