// PeerProcess.h: runs hooklib_peer.exe as a second process and collects its key=value lines.
#pragma once

#include "Config.h"

#include <map>
#include <string>

class TPeerProcess {
public:
    // Starts `program` with `arguments`; its stdout is read through a pipe.
    TPeerProcess(const std::string& program, const std::string& arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE writeEnd = nullptr;
        if (!::CreatePipe(&readEnd_, &writeEnd, &inherit, 0)) return;
        ::SetHandleInformation(readEnd_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        std::string commandLine = "\"" + program + "\" " + arguments;
        PROCESS_INFORMATION info{};
        if (::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &info)) {
            process_ = info.hProcess;
            ::CloseHandle(info.hThread);
        }
        ::CloseHandle(writeEnd);
    }
    ~TPeerProcess() {
        if (process_) {
            if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_, 99);
            ::CloseHandle(process_);
        }
        if (readEnd_) ::CloseHandle(readEnd_);
    }
    TPeerProcess(const TPeerProcess&) = delete;
    TPeerProcess& operator=(const TPeerProcess&) = delete;

    bool Started() const { return process_ != nullptr; }

    // Reads lines until one starts with `key` + "=" (or the output ends); true when found.
    bool WaitForLine(const std::string& key) {
        while (values_.count(key) == 0)
            if (!ReadSome()) return false;
        return true;
    }

    // Reads everything, waits for the end; returns the exit code (or -1 on timeout).
    int Finish(DWORD timeoutMs = 60000) {
        while (ReadSome()) {
        }
        if (!process_ || ::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        return static_cast<int>(code);
    }

    std::string Value(const std::string& key) const {
        auto found = values_.find(key);
        return found == values_.end() ? "<none>" : found->second;
    }

private:
    bool ReadSome() {
        char buffer[512];
        DWORD got = 0;
        if (!readEnd_ || !::ReadFile(readEnd_, buffer, sizeof buffer, &got, nullptr) || got == 0)
            return false;
        pending_.append(buffer, got);
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos) values_[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return true;
    }

    HANDLE process_ = nullptr;
    HANDLE readEnd_ = nullptr;
    std::string pending_;
    std::map<std::string, std::string> values_;
};
