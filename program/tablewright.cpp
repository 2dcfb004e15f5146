#include "program/tablewright.hpp"

#include "cards/about.hpp"
#include "cards/frmbrowse.hpp"
#include "cards/hax.hpp"
#include "cards/loadset.hpp"
#include "cards/settings_window.hpp"
#include "cards/tip.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/calc.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/jabber_window.hpp"
#include "net/listenwindow.hpp"
#include "net/macro_window.hpp"
#include "net/xmpp_route.hpp"
#include "platform/files.hpp"
#include "table/pile_viewer.hpp"

namespace tw {

template <class T>
static typename platform::FormSlot<T>::Factory make(Tablewright& tw) {
    return [&tw] { return std::make_unique<T>(tw); };
}

Tablewright::Tablewright(platform::App& a)
    : app(a),
      LoadSet(make<win::LoadSet>(*this)),
      DeckMaker(make<win::DeckMaker>(*this)),
      FormA(make<win::FormA>(*this)),
      hax(make<win::Hax>(*this)),
      settings(make<win::Settings>(*this)),
      frmBrowse(make<win::FrmBrowse>(*this)),
      Tip(make<win::Tip>(*this)),
      about(make<win::About>(*this)),
      frmTokens(make<win::FrmTokens>(*this)),
      frmUpdater(make<win::FrmUpdater>(*this)),
      calc(make<win::Calc>(*this)),
      connect3(make<win::Connect3>(*this)),
      listenwindow(make<win::ListenWindow>(*this)),
      frmJabber(make<win::FrmJabber>(*this)),
      view(make<win::View>(*this)),
      MacroWindow(make<win::MacroWindow>(*this)) {
    if (app.title.empty()) app.title = "Tablewright";
    net.ShowAccountDialog = [this] { frmJabber().show(&FormA()); };
    net.AccountDialogVisible = [this] { return frmJabber.peek() && frmJabber.peek()->visible(); };
    net.SendServerLogin = [this] { tw::SendServerLogin(*this); };
    UsePileViewerWindow(*this);
}

Tablewright::~Tablewright() = default;

std::filesystem::path Tablewright::path_of(std::string_view relative) const {
    return platform::resolve(folder(), relative);
}

}  // namespace tw
