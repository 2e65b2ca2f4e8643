#include "ui/qt/FileDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "ui/CWindowRegistry.h"
#include "ui/CWindowWnd.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/CQtSurface.h"
#include "ui/qt/CQtSurfaceWidget.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

std::string Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(sep, start);
        parts.push_back(Trim(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

QString QtFilter(const std::string& filter) {
    QStringList entries;
    for (const FileFilter& f : ParseFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& p : f.patterns) patterns << qtconv::Str(p);
        entries << QStringLiteral("%1 (%2)").arg(qtconv::Str(f.label), patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return qtconv::Str(path);
}

// A dialog sits over the first window up the owner chain that is not a pop-up: a pop-up
// closes when the dialog takes the focus, and a Qt parent deletes its children with it.
QWidget* OwnerWidget(HWND owner) {
    CWindowWnd* window = CWindowRegistry::Instance().WindowOf(owner);
    while (window && window->IsPopup()) window = CWindowRegistry::Instance().WindowOf(window->GetOwnerHWND());
    auto* surface = window ? dynamic_cast<CQtSurface*>(window->GetSurface()) : nullptr;
    return surface ? surface->Widget() : nullptr;
}

// Runs a dialog made on the heap: whatever is destroyed while its loop runs (its parent
// among them, which deletes it), nothing here touches a freed dialog afterwards.
template <typename Dialog, typename Result>
Result RunDialog(QPointer<Dialog> dialog, Result (*take)(Dialog&)) {
    int code = QDialog::Rejected;
    {
        // Timers and posted messages of the layer go on while the dialog's loop runs.
        CQtPlatform::ForeignLoopScope foreign;
        code = dialog->exec();
    }
    if (!dialog) return Result{};
    Result result = code == QDialog::Accepted ? take(*dialog) : Result{};
    delete dialog.data();
    return result;
}

std::optional<std::string> FirstFile(QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::nullopt : Chosen(files.front());
}

std::optional<std::string> RunFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                         const std::string& start, QFileDialog::AcceptMode mode) {
    QPointer<QFileDialog> dialog =
        new QFileDialog(OwnerWidget(owner), qtconv::Str(title), qtconv::Str(start), QtFilter(filter));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunDialog<QFileDialog, std::optional<std::string>>(dialog, &FirstFile);
}

std::optional<ARGB> ChosenColor(QColorDialog& dialog) {
    const QColor color = dialog.selectedColor();
    if (!color.isValid()) return std::nullopt;
    return qtconv::Argb(color) | 0xFF000000;
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<FileFilter> result;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter entry;
        entry.label = parts[i];
        for (std::string& p : Split(parts[i + 1], ';')) {
            if (!p.empty()) entry.patterns.push_back(std::move(p));
        }
        if (entry.patterns.empty()) continue;
        if (entry.label.empty()) entry.label = entry.patterns.front();
        result.push_back(std::move(entry));
    }
    return result;
}

std::optional<std::string> ShowOpenFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                              const std::string& folder) {
    return RunFileDialog(owner, title, filter, folder, QFileDialog::AcceptOpen);
}

std::optional<std::string> ShowSaveFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                              const std::string& defaultPath) {
    return RunFileDialog(owner, title, filter, defaultPath, QFileDialog::AcceptSave);
}

std::optional<ARGB> ShowColorDialog(HWND owner, ARGB initial) {
    QPointer<QColorDialog> dialog = new QColorDialog(qtconv::Color(initial | 0xFF000000), OwnerWidget(owner));
    return RunDialog<QColorDialog, std::optional<ARGB>>(dialog, &ChosenColor);
}

}  // namespace q208
