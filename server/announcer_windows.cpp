#include <windows.h>
#include <windns.h>

#include "announcer.h"
#include "remote_protocol.h"

namespace dravo {
namespace {

// DNS_REQUEST_PENDING of the system's headers (not in every toolchain's): registration goes on.
constexpr DWORD kRequestPending = 9506;

// Windows 10 1809 and later register services themselves; older systems lack the calls, so
// they are looked up at run time and their absence means no announcement, quietly.
struct DnsServiceCalls {
    decltype(&DnsServiceConstructInstance) construct = nullptr;
    decltype(&DnsServiceFreeInstance) free_instance = nullptr;
    decltype(&DnsServiceRegister) register_service = nullptr;
    decltype(&DnsServiceDeRegister) deregister_service = nullptr;

    static const DnsServiceCalls* find() {
        static const DnsServiceCalls calls = [] {
            DnsServiceCalls c;
            HMODULE dll = LoadLibraryW(L"dnsapi.dll");
            if (!dll) {
                return c;
            }
            c.construct = reinterpret_cast<decltype(c.construct)>(
                reinterpret_cast<void*>(GetProcAddress(dll, "DnsServiceConstructInstance")));
            c.free_instance = reinterpret_cast<decltype(c.free_instance)>(
                reinterpret_cast<void*>(GetProcAddress(dll, "DnsServiceFreeInstance")));
            c.register_service = reinterpret_cast<decltype(c.register_service)>(
                reinterpret_cast<void*>(GetProcAddress(dll, "DnsServiceRegister")));
            c.deregister_service = reinterpret_cast<decltype(c.deregister_service)>(
                reinterpret_cast<void*>(GetProcAddress(dll, "DnsServiceDeRegister")));
            return c;
        }();
        const bool all = calls.construct && calls.free_instance && calls.register_service &&
                         calls.deregister_service;
        return all ? &calls : nullptr;
    }
};

std::wstring wide(const std::string& text) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string computer_name() {
    char name[256] = {};
    DWORD size = sizeof name;
    return GetComputerNameExA(ComputerNameDnsHostname, name, &size) ? std::string(name, size)
                                                                    : std::string("dravo");
}

void WINAPI on_registered(DWORD, PVOID, PDNS_SERVICE_INSTANCE) {}

// One registered service: its instance and the request that registered it, kept for the
// withdrawal.
class Registration {
public:
    Registration(const DnsServiceCalls& calls, const std::string& name, const char* type, int port,
                 const std::vector<std::string>& texts)
        : calls_(calls) {
        const std::wstring instance = wide(name + "." + type + ".local");
        const std::wstring host = wide(computer_name() + ".local");
        std::vector<std::wstring> keys, values;
        for (const auto& text : texts) {
            const auto eq = text.find('=');
            keys.push_back(wide(text.substr(0, eq)));
            values.push_back(wide(eq == std::string::npos ? "" : text.substr(eq + 1)));
        }
        std::vector<PCWSTR> key_ptrs, value_ptrs;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            key_ptrs.push_back(keys[i].c_str());
            value_ptrs.push_back(values[i].c_str());
        }
        instance_ = calls_.construct(
            instance.c_str(), host.c_str(), nullptr, nullptr, static_cast<WORD>(port), 0, 0,
            static_cast<DWORD>(key_ptrs.size()), key_ptrs.data(), value_ptrs.data());
        if (!instance_) {
            return;
        }
        request_.Version = DNS_QUERY_REQUEST_VERSION1;
        request_.pServiceInstance = instance_;
        request_.pRegisterCompletionCallback = on_registered;
        registered_ = calls_.register_service(&request_, nullptr) == kRequestPending;
    }
    ~Registration() {
        if (registered_) {
            calls_.deregister_service(&request_, nullptr);
        }
        if (instance_) {
            calls_.free_instance(instance_);
        }
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    bool registered() const { return registered_; }

private:
    const DnsServiceCalls& calls_;
    PDNS_SERVICE_INSTANCE instance_ = nullptr;
    DNS_SERVICE_REGISTER_REQUEST request_{};
    bool registered_ = false;
};

class WindowsAnnouncer final : public Announcer {
public:
    explicit WindowsAnnouncer(Log log) : log_(std::move(log)) {}
    ~WindowsAnnouncer() override { stop(); }

    bool start(const Announcement& what) override {
        stop();
        const DnsServiceCalls* calls = DnsServiceCalls::find();
        if (!calls) {
            return false;
        }
        services_.push_back(std::make_unique<Registration>(*calls, what.name, remote::kServiceType,
                                                           what.port, announcement_texts(what)));
        if (what.serves_page) {
            services_.push_back(
                std::make_unique<Registration>(*calls, what.name, "_http._tcp", what.port,
                                               std::vector<std::string>{"path=" + what.page_path}));
        }
        for (const auto& service : services_) {
            if (!service->registered()) {
                log_("Network announcement failed");
            }
        }
        return true;
    }

    void stop() override { services_.clear(); }

private:
    Log log_;
    std::vector<std::unique_ptr<Registration>> services_;
};

}  // namespace

std::unique_ptr<Announcer> make_announcer(Announcer::Log log) {
    return std::make_unique<WindowsAnnouncer>(std::move(log));
}

}  // namespace dravo
