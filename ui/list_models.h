// Qt models over the engine's arrays: rows are formatted only when shown,
// so the full set of combinations scrolls without delay.
#pragma once

#include <QAbstractTableModel>

namespace px {
class TTemplateMain;
}

namespace px::ui {

// The draws, newest on top; the offset row and channel colours.
class DrawsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit DrawsModel(TTemplateMain& frame, QObject* parent = nullptr) : QAbstractTableModel(parent), f_(frame) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  TTemplateMain& f_;
};

// The working list of combinations.
class CombsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CombsModel(TTemplateMain& frame, QObject* parent = nullptr) : QAbstractTableModel(parent), f_(frame) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  TTemplateMain& f_;
};

// The applied-filters list.
class FiltersModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit FiltersModel(TTemplateMain& frame, QObject* parent = nullptr) : QAbstractTableModel(parent), f_(frame) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  TTemplateMain& f_;
};

QColor ChannelQColor(int number, int channelSize);

}  // namespace px::ui
