// Qt models over the engine's arrays: rows are formatted only when shown,
// so the full set of combinations scrolls without delay.
#pragma once

#include <QAbstractTableModel>

namespace px {
class TTemplateMain;
}

namespace px::ui {

// A table over the frame's data: rows are read from the frame when shown,
// and Reload tells the views that everything may have changed.
class FrameTableModel : public QAbstractTableModel {
 public:
  explicit FrameTableModel(TTemplateMain& frame, QObject* parent = nullptr)
      : QAbstractTableModel(parent), f_(frame) {}
  void Reload() {
    beginResetModel();
    endResetModel();
  }

 protected:
  TTemplateMain& f_;
};

// The draws, newest on top; the offset row and channel colours.
class DrawsModel final : public FrameTableModel {
  Q_OBJECT
 public:
  using FrameTableModel::FrameTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

// The working list of combinations.
class CombsModel final : public FrameTableModel {
  Q_OBJECT
 public:
  using FrameTableModel::FrameTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

// The applied-filters list.
class FiltersModel final : public FrameTableModel {
  Q_OBJECT
 public:
  using FrameTableModel::FrameTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

QColor ChannelQColor(int number, int channelSize);

// What the applied-filters row and the status text say of a step that left
// no combination.
inline constexpr const char* kEmptyListText = "Список комбинаций пуст";

}  // namespace px::ui
