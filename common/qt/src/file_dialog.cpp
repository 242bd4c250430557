#include "common_qt/file_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <vector>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common_qt/file_names.h"

namespace common_qt {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

QString Tr(const char* text) { return QCoreApplication::translate("QFileDialog", text); }

std::string CurrentFolder() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string Parent(const std::string& folder) {
  const std::size_t slash = folder.rfind('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : folder.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The patterns of a filter "Text (*.a *.b)".
std::vector<std::string> PatternsOf(const QString& filter) {
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(([^()]*)\\)\\s*$")).match(filter);
  std::vector<std::string> out;
  for (const QString& p :
       (m.hasMatch() ? m.captured(1) : QStringLiteral("*")).split(QLatin1Char(' '), Qt::SkipEmptyParts))
    out.push_back(p.toStdString());
  return out;
}

struct Entry {
  std::string name;
  QString shown;
  bool folder;
};

// The folders and the regular files of a folder that a pattern takes, as the file system
// names them; hidden names (a leading ".") are left out, as Qt's dialog leaves them out.
std::vector<Entry> ListFolder(const std::string& folder, const std::vector<std::string>& patterns) {
  std::vector<Entry> out;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return out;
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name.empty() || name[0] == '.') continue;
    struct stat st {};
    if (::stat(Join(folder, name).c_str(), &st) != 0) continue;
    const bool isFolder = S_ISDIR(st.st_mode);
    if (!isFolder && !S_ISREG(st.st_mode)) continue;
    if (!isFolder && std::none_of(patterns.begin(), patterns.end(), [&](const std::string& p) {
          return ::fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        }))
      continue;
    out.push_back({name, FileNameForDisplay(name), isFolder});
  }
  ::closedir(dir);
  std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
    if (a.folder != b.folder) return a.folder;
    const int c = QString::compare(a.shown, b.shown, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  return out;
}

}  // namespace

FileDialog::FileDialog(QWidget* parent, const FileDialogRequest& request) : QDialog(parent) {
  setWindowTitle(request.title);
  auto* grid = new QGridLayout(this);
  where_ = new QLineEdit(this);
  where_->setReadOnly(true);
  auto* up = new QToolButton(this);
  up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  up->setToolTip(Tr("Parent Directory"));
  list_ = new QListWidget(this);
  name_ = new QLineEdit(this);
  filters_ = new QComboBox(this);
  filters_->addItems(request.nameFilters.isEmpty() ? QStringList{QStringLiteral("(*)")} : request.nameFilters);
  filters_->setCurrentIndex(std::clamp(request.filterIndex, 0, static_cast<int>(filters_->count()) - 1));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Tr(request.mode == FileDialogRequest::Mode::Save ? "&Save" : "&Open"));
  auto* lookIn = new QLabel(Tr("Look in:"), this);
  auto* nameLabel = new QLabel(Tr("File &name:"), this);
  nameLabel->setBuddy(name_);
  auto* typeLabel = new QLabel(Tr("Files of type:"), this);
  typeLabel->setBuddy(filters_);
  grid->addWidget(lookIn, 0, 0);
  grid->addWidget(where_, 0, 1);
  grid->addWidget(up, 0, 2);
  grid->addWidget(list_, 1, 0, 1, 3);
  grid->addWidget(nameLabel, 2, 0);
  grid->addWidget(name_, 2, 1, 1, 2);
  grid->addWidget(typeLabel, 3, 0);
  grid->addWidget(filters_, 3, 1, 1, 2);
  grid->addWidget(buttons, 4, 0, 1, 3);

  connect(up, &QToolButton::clicked, this, [this] { enterFolder(Parent(folder_)); });
  connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) { picked(item); });
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { activated(item); });
  connect(filters_, &QComboBox::currentIndexChanged, this, [this] { fill(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &FileDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  const std::string proposed = FileNameFromQt(request.proposedName);
  if (!proposed.empty()) {
    shownBytes_ = proposed;
    shownName_ = FileNameForDisplay(proposed);
    name_->setText(shownName_);
  }
  const std::string start = FileNameFromQt(request.folder);
  enterFolder(start.empty() || !IsFolder(start) ? CurrentFolder() : start);
  name_->setFocus();
  resize(560, 400);
}

void FileDialog::enterFolder(const std::string& folder) {
  // "a/b/.." as "a", without a trailing "/".
  folder_ = std::filesystem::path(folder).lexically_normal().string();
  if (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
  where_->setText(FileNameForDisplay(folder_));
  fill();
}

int FileDialog::filterIndex() const { return filters_->currentIndex(); }

void FileDialog::fill() {
  list_->clear();
  const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
  const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
  for (const Entry& e : ListFolder(folder_, PatternsOf(filters_->currentText()))) {
    auto* item = new QListWidgetItem(e.folder ? folderIcon : fileIcon, e.shown, list_);
    item->setData(kBytesRole, QByteArray::fromStdString(e.name));
    item->setData(kFolderRole, e.folder);
  }
}

void FileDialog::picked(QListWidgetItem* item) {
  if (!item || item->data(kFolderRole).toBool()) return;
  shownBytes_ = item->data(kBytesRole).toByteArray().toStdString();
  shownName_ = item->text();
  name_->setText(shownName_);
}

void FileDialog::activated(QListWidgetItem* item) {
  if (!item) return;
  if (item->data(kFolderRole).toBool()) {
    enterFolder(Join(folder_, item->data(kBytesRole).toByteArray().toStdString()));
    return;
  }
  picked(item);
  confirm();
}

void FileDialog::confirm() {
  const QString text = name_->text();
  if (text.isEmpty()) return;
  const std::string name = text == shownName_ ? shownBytes_ : FileNameFromQt(text);
  const std::string path = Join(folder_, name);
  if (IsFolder(path)) {
    name_->clear();
    enterFolder(path);
    return;
  }
  chosen_ = FileNameToQt(path);
  accept();
}

QString ChooseFile(QWidget* parent, FileDialogRequest& request) {
  FileDialog dialog(parent, request);
  if (dialog.exec() != QDialog::Accepted) return {};
  request.filterIndex = dialog.filterIndex();
  return dialog.chosen();
}

}  // namespace common_qt
