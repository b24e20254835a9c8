#pragma once
// The Server button's menu in the window: a right click on the button, or a press held for half
// a second, opens the entries of ServerMenu below the button with the current one checked; a pick
// goes to ServerMenu. The button's plain click stays its own (the next configured server); a long
// press does not also click.
// GUI thread only. The menu lives as long as the button; the settings, session and browser must
// outlive the button.
class QPushButton;

namespace dravo {

class ClientSettings;
class RemoteSession;
class ServiceBrowser;

void attach_server_menu(QPushButton& button, ClientSettings& settings, RemoteSession& session,
                        const ServiceBrowser& browser);

}  // namespace dravo
