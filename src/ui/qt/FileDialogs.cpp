#include "ui/qt/FileDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QStringList>

#include "ui/CWindowRegistry.h"
#include "ui/CWindowWnd.h"
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

QWidget* OwnerWidget(HWND owner) {
    CWindowWnd* window = CWindowRegistry::Instance().WindowOf(owner);
    auto* surface = window ? dynamic_cast<CQtSurface*>(window->GetSurface()) : nullptr;
    return surface ? surface->Widget() : nullptr;
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
    return Chosen(QFileDialog::getOpenFileName(OwnerWidget(owner), qtconv::Str(title), qtconv::Str(folder), QtFilter(filter)));
}

std::optional<std::string> ShowSaveFileDialog(HWND owner, const std::string& title, const std::string& filter,
                                              const std::string& defaultPath) {
    return Chosen(
        QFileDialog::getSaveFileName(OwnerWidget(owner), qtconv::Str(title), qtconv::Str(defaultPath), QtFilter(filter)));
}

std::optional<ARGB> ShowColorDialog(HWND owner, ARGB initial) {
    const QColor color = QColorDialog::getColor(qtconv::Color(initial | 0xFF000000), OwnerWidget(owner));
    if (!color.isValid()) return std::nullopt;
    return qtconv::Argb(color) | 0xFF000000;
}

}  // namespace q208
