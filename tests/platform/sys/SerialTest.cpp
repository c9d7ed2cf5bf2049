// Serial ports on a pseudo-terminal, and the port list from a fake sysfs tree.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "platform/sys/Serial.h"

namespace fs = std::filesystem;

TEST(Serial, PseudoTerminalRunsRaw115200_8N1BothWays) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    TSerialPort port;
    ASSERT_TRUE(port.Open(name));
    EXPECT_FALSE(port.Open(name)); // already open
    ASSERT_TRUE(port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
    EXPECT_EQ(port.BaudRate(), 115200u);
    termios t{};
    ASSERT_EQ(tcgetattr(port.Fd(), &t), 0);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(t.c_oflag & OPOST);

    // Raw both ways: 0x0A, 0x0D and 0x10 pass unchanged.
    const uint8_t out[] = {0x10, 0x02, 0x0A, 0x0D, 0x03, 0xFF};
    ASSERT_TRUE(port.Write(out, sizeof out));
    uint8_t got[16];
    ASSERT_EQ(read(master, got, sizeof got), static_cast<ssize_t>(sizeof out));
    EXPECT_EQ(0, memcmp(got, out, sizeof out));
    ASSERT_EQ(write(master, out, sizeof out), static_cast<ssize_t>(sizeof out));
    for (int i = 0; i < 100 && port.Available() < sizeof out; ++i)
        usleep(1000);
    EXPECT_EQ(port.Available(), sizeof out);
    EXPECT_EQ(port.Read(got, sizeof got), sizeof out);
    EXPECT_EQ(0, memcmp(got, out, sizeof out));
    EXPECT_EQ(port.Read(got, sizeof got), 0u); // nothing waiting: no blocking

    // Settings this layer does not have are refused.
    EXPECT_FALSE(port.Configure(128000, 8, NOPARITY, ONESTOPBIT));
    EXPECT_FALSE(port.Configure(600, 8, NOPARITY, ONESTOPBIT));
    EXPECT_FALSE(port.Configure(115200, 9, NOPARITY, ONESTOPBIT));
    EXPECT_FALSE(port.Configure(115200, 8, 7, ONESTOPBIT));
    ASSERT_TRUE(port.Configure(9600, 7, EVENPARITY, TWOSTOPBITS));
    EXPECT_EQ(port.BaudRate(), 9600u);

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open("/nonexistent/ttyX"));
    close(master);
    close(slave);
}

TEST(Serial, PortListHoldsPresentPortsInNaturalOrder) {
    const fs::path root = fs::temp_directory_path() / ("kv-serial-" + std::to_string(getpid()));
    fs::remove_all(root);
    struct Entry {
        const char* name;
        bool device;
        const char* type; // nullptr: no type file
    };
    const Entry entries[] = {{"ttyS0", true, "4"},        {"ttyS1", true, "0"} /* no UART behind it */,
                             {"ttyUSB10", true, nullptr}, {"ttyUSB2", true, nullptr},
                             {"ttyACM0", true, nullptr},  {"tty1", false, nullptr} /* a console */,
                             {"ttyUSB3", true, nullptr} /* no node in /dev */};
    for (const Entry& e : entries) {
        const fs::path dir = root / "sys/class/tty" / e.name;
        fs::create_directories(dir);
        if (e.device)
            fs::create_directories(dir / "device");
        if (e.type)
            std::ofstream(dir / "type") << e.type << "\n";
        fs::create_directories(root / "dev");
        if (std::string(e.name) != "ttyUSB3")
            std::ofstream(root / "dev" / e.name);
    }
    const auto list = SerialPortList(root.string());
    std::vector<std::string> names;
    for (const auto& p : list)
        names.push_back(SerialPortShortName(p));
    EXPECT_EQ(names, (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyUSB2", "ttyUSB10"}));
    EXPECT_EQ(list.front(), (root / "dev/ttyACM0").string());
    fs::remove_all(root);
}

TEST(Serial, NaturalOrder) {
    const struct {
        const char* a;
        const char* b;
        bool less;
    } cases[] = {{"ttyS2", "ttyS10", true}, {"ttyS10", "ttyS2", false}, {"ttyS02", "ttyS2", false},
                 {"ttyS", "ttyS0", true},   {"ttyACM9", "ttyS0", true}, {"ttyS1", "ttyS1", false}};
    for (const auto& c : cases)
        EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}
