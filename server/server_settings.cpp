#include "server_settings.h"

namespace dravo {

ServerSettings::ServerSettings() : store_("") {
    store_.add_int("port", values_.port, 81);
    store_.add_string("media_root", values_.media_root, default_media_root());
    store_.add_string("file_extensions", values_.file_extensions, "mp3 ogg wav url");
    store_.add_string("current_filter", values_.current_filter, "");
}

bool ServerSettings::load(const std::string& file) {
    std::lock_guard lock(mutex_);
    store_.file_name = file;
    return store_.load();
}

bool ServerSettings::save_config(int port, const std::string& media_root,
                                 const std::string& file_extensions) {
    std::lock_guard lock(mutex_);
    values_.port = port;
    values_.media_root = media_root;
    values_.file_extensions = file_extensions;
    return store_.save();
}

bool ServerSettings::save_current_filter(const std::string& text) {
    std::lock_guard lock(mutex_);
    values_.current_filter = text;
    return store_.save_setting(values_.current_filter);
}

void ServerSettings::set_file_name(const std::string& file) {
    std::lock_guard lock(mutex_);
    store_.file_name = file;
}

}  // namespace dravo
