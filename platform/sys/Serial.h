#pragma once
// Serial ports on termios: raw, exclusive, non-blocking; the list of ports that really exist.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Line-setting encodings the callers pass (the old serial API's values).
enum : int { NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2 };
enum : int { ONESTOPBIT = 0, TWOSTOPBITS = 2 };

class TSerialPort {
public:
    TSerialPort() = default;
    ~TSerialPort();
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    // Opens an existing port for reading and writing, not shared with other processes.
    bool Open(const std::string& path);
    // Raw mode with the given line settings; false for settings the port or this layer does not have.
    bool Configure(uint32_t baudRate, int byteSize, int parity, int stopBits);
    // Current baud rate; 0 when unknown.
    uint32_t BaudRate() const;
    // Drops whatever waits to be sent or read.
    void Purge();
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // Bytes waiting to be read.
    size_t Available() const;
    // Reads up to n waiting bytes without blocking; the count read (0 when none).
    size_t Read(uint8_t* buffer, size_t n);
    // Writes all n bytes, waiting briefly while the output queue is full; false on a port error.
    bool Write(const uint8_t* data, size_t n);

private:
    int fd_ = -1;
};

// Paths of the serial ports present under root ("/" in the program), sorted naturally (ttyS2 before
// ttyS10). Legacy ports that the kernel lists without hardware behind them are left out.
std::vector<std::string> SerialPortList(const std::string& root = "/");
// The name a port is shown by: the path's last component.
std::string SerialPortShortName(const std::string& path);
// Natural order of names: digit runs compare by value.
bool NaturalLess(const std::string& a, const std::string& b);
