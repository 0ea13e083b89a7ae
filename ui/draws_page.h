// The page "Архив тиражей": the draws list, newest first, with the draw
// offset under it, and the commands of the archive.
#pragma once

#include <QWidget>

#include "ui/commands.h"

class QSpinBox;
class QTableView;

namespace px::ui {

class DrawsModel;
class PageContext;

class DrawsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  DrawsPage(PageContext& context, QWidget* parent = nullptr);

  void BindCommands(CommandBinder& commands) override;
  // After the archive or the offset changed.
  void Reload();

  QTableView* View() const { return view_; }
  DrawsModel* Model() const { return model_; }
  QSpinBox* OffsetField() const { return offset_; }

 signals:
  // A download ended (also after a failure): the stakes were checked.
  void Downloaded();

 private:
  void AddOrEdit(bool edit);
  void Delete();
  void Info();
  void FollowArchiveSize();

  PageContext& context_;
  QTableView* view_;
  DrawsModel* model_;
  QSpinBox* offset_;
};

}  // namespace px::ui
