#pragma once
// How the support windows (error report, survey) are shown modally. The program shows them
// with exec(); a test installs a presenter that shows the window, drives it with key and mouse
// events and lets it close.
#include <QDialog>
#include <functional>

using ExibeJanela = std::function<void(QDialog&)>;

// Installs a presenter (an empty one restores exec()) and returns the previous one.
ExibeJanela instalaExibeJanela(ExibeJanela exibe);

// Shows the window with the installed presenter, else with exec(). Under test with no presenter
// nobody could answer a modal window: semResposta runs instead.
void exibeModal(QDialog& janela, const std::function<void()>& semResposta);

// Installs a presenter for its lifetime.
class ScopedExibeJanela {
public:
    explicit ScopedExibeJanela(ExibeJanela exibe) : m_anterior(instalaExibeJanela(std::move(exibe))) {}
    ~ScopedExibeJanela() { instalaExibeJanela(std::move(m_anterior)); }
    ScopedExibeJanela(const ScopedExibeJanela&) = delete;
    ScopedExibeJanela& operator=(const ScopedExibeJanela&) = delete;

private:
    ExibeJanela m_anterior;
};
