#pragma once
// One transport of any kind on the virtual clock, with what it writes and a way to answer it. The
// serial transport runs on a pseudo-terminal whose other side the harness holds.

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <memory>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>

#include "link/LComm.h"
#include "link/LNet.h"
#include "link/LUsb.h"
#include "tests/support/VirtualClock.h"
#include "tests/link/TransportFixtures.h"

class TransportHarness {
public:
    using Kind = LLink::Kind;

    explicit TransportHarness(Kind kind, bool open = true) : kind_(kind) {
        EnsureApp();
        owner.clock = &clock;
        switch (kind) {
        case Kind::Serial: {
            char name[256];
            int slave = -1;
            if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
                throw std::runtime_error("no pty");
            slave_ = slave; // kept open: the line never hangs up between opens
            fcntl(master_, F_SETFL, O_NONBLOCK);
            portPath_ = name;
            com = std::make_unique<LCommProc>(&owner, &clock);
            link = com.get();
            break;
        }
        case Kind::Usb:
            usb = std::make_unique<LUsbProc>(&owner, &clock);
            link = usb.get();
            break;
        case Kind::Net:
            net = std::make_unique<LNetProc>(&owner, &clock);
            link = net.get();
            break;
        }
        if (open && !Open())
            throw std::runtime_error("open failed");
    }
    ~TransportHarness() {
        Destroy();
        if (master_ >= 0)
            close(master_);
        if (slave_ >= 0)
            close(slave_);
    }

    bool Open() {
        switch (kind_) {
        case Kind::Serial:
            return com->Open(portPath_, 115200, 8, NOPARITY, ONESTOPBIT);
        case Kind::Usb:
            return usb->Open();
        case Kind::Net:
            return net->Open();
        }
        return false;
    }
    // Close, then destroy, as the owner window does.
    void Destroy() {
        if (link)
            link->Close();
        com.reset();
        usb.reset();
        net.reset();
        link = nullptr;
    }

    void Queue(const BSTM& f, bool force = false) {
        if (com)
            com->QueueFrame(f, force);
        if (usb)
            usb->QueueFrame(f, force);
        if (net)
            net->QueueFrame(f, force);
        clock.Settle();
        if (kind_ == Kind::Serial)
            Drain();
    }
    std::deque<BSTM> Queued() {
        return com ? com->QueuedFrames() : usb ? usb->QueuedFrames() : net->QueuedFrames();
    }
    bool Awaiting() { return com ? com->IsAwaiting() : usb ? usb->IsAwaiting() : net->IsAwaiting(); }
    void Suspend(bool on) {
        if (com)
            com->SetKeepAliveSuspended(on);
        if (usb)
            usb->SetKeepAliveSuspended(on);
        if (net)
            net->SetKeepAliveSuspended(on);
    }
    void SetDeviceId(int id) {
        if (com)
            com->SetDeviceId(id);
        if (usb)
            usb->SetDeviceId(id);
        if (net)
            net->SetDeviceId(id);
    }

    // Bytes from the unit; waits (real time, bounded) until the worker has taken them all.
    void Receive(const BSTM& bytes) {
        if (kind_ == Kind::Serial) {
            [[maybe_unused]] ssize_t n = write(master_, bytes.data(), bytes.size());
            // The terminal hands the bytes to the port side asynchronously; wait until the port has
            // had them and nothing is left to read.
            int idle = 0;
            for (int i = 0; i < 2000 && idle < 3; ++i) {
                usleep(500);
                clock.Settle();
                int waiting = 0;
                idle = ioctl(slave_, FIONREAD, &waiting) == 0 && waiting == 0 ? idle + 1 : 0;
            }
        } else if (usb) {
            usb->DeliverInput(bytes.data(), static_cast<uint32_t>(bytes.size()));
        } else {
            net->DeliverInput(bytes.data(), static_cast<uint32_t>(bytes.size()));
        }
        clock.Settle();
    }

    // Frames written so far, with the virtual time at which they were seen.
    std::vector<FakeOwner::Write> Writes() {
        if (kind_ != Kind::Serial)
            return owner.Written();
        Drain();
        return serialWrites_;
    }
    // Advances in steps, so that the serial writes get their time stamps to within a step.
    void Advance(uint64_t ms, uint64_t step = 10) {
        for (uint64_t done = 0; done < ms;) {
            const uint64_t s = std::min(step, ms - done);
            clock.Advance(s);
            done += s;
            if (kind_ == Kind::Serial)
                Drain();
        }
    }

    TVirtualClock clock;
    FakeOwner owner;
    std::unique_ptr<LCommProc> com;
    std::unique_ptr<LUsbProc> usb;
    std::unique_ptr<LNetProc> net;
    LLink* link = nullptr;

private:
    void Drain() {
        // The terminal passes what the port wrote on asynchronously, within microseconds.
        pollfd p{master_, POLLIN, 0};
        poll(&p, 1, 3);
        uint8_t buf[1024];
        for (;;) {
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0)
                break;
            pending_.insert(pending_.end(), buf, buf + n);
        }
        while (pending_.size() >= 5 && pending_.size() >= pending_[4] + kFrameOverhead) {
            const size_t len = pending_[4] + kFrameOverhead;
            serialWrites_.push_back(
                {BSTM(pending_.begin(), pending_.begin() + static_cast<long>(len)), clock.Ms()});
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(len));
        }
    }

    Kind kind_;
    int master_ = -1;
    int slave_ = -1;
    std::string portPath_;
    BSTM pending_;
    std::vector<FakeOwner::Write> serialWrites_;
};
