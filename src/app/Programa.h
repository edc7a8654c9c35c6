#pragma once
// The running program behind the login: the main window (which connects through the session's
// settings) with its frame, and the two data modules over its connection, installed for the
// screens. Built in that order and torn down in the reverse one: the data modules go before the
// connection they use, and the screens with the main window's frame.
#include <functional>
#include <memory>

class TdmLookUp;
class TdmPadrao;
class TfrmMenuPrincipal;

class Programa {
public:
    // `requestEnd`, when given, replaces the main window's end request (how the program ends
    // when the main window asks to) before the data modules are built.
    explicit Programa(std::function<void()> requestEnd = {});
    ~Programa();
    Programa(const Programa&) = delete;
    Programa& operator=(const Programa&) = delete;

    TfrmMenuPrincipal* principal() const { return m_principal.get(); }
    TdmLookUp* lookup() const { return m_lookup.get(); }
    TdmPadrao* padrao() const { return m_padrao.get(); }

    // Closes every open screen of the frame (each with its own close handling).
    void fechaTelas();

private:
    std::unique_ptr<TfrmMenuPrincipal> m_principal;
    std::unique_ptr<TdmLookUp> m_lookup;
    std::unique_ptr<TdmPadrao> m_padrao;
};
