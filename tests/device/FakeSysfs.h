#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace q208::test {

// A throw-away sysfs tree with hidraw nodes laid out as the kernel does: the class entry
// links to the HID device below its USB interface, below the USB device.
class FakeSysfs {
public:
    FakeSysfs() {
        char pattern[] = "/tmp/q208-sysfs-XXXXXX";
        root_ = mkdtemp(pattern);
        std::filesystem::create_directories(ClassFolder());
        std::filesystem::create_directories(root_ + "/dev");
    }
    ~FakeSysfs() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    const std::string& Root() const { return root_; }
    std::string DevFolder() const { return root_ + "/dev"; }
    std::string ClassFolder() const { return root_ + "/class/hidraw"; }

    struct Node {
        int number = 0;
        uint16_t vendorId = 0x4E5B, productId = 0x7C13;
        int usbInterface = -1;     // bInterfaceNumber file; -1: none
        std::string phys = "usb-0000:00:14.0-1/input0";
        std::vector<uint8_t> descriptor;
        bool withUevent = true;
    };

    // Returns the HID device folder (where uevent and report_descriptor live).
    std::string Add(const Node& node) {
        const std::string name = "hidraw" + std::to_string(node.number);
        const std::string usbDevice = root_ + "/devices/usb" + std::to_string(node.number);
        const std::string usbInterface = usbDevice + "/1-1:1." + std::to_string(node.number);
        char hidName[32];
        std::snprintf(hidName, sizeof hidName, "0003:%04X:%04X.%04X", node.vendorId, node.productId,
                      node.number);
        const std::string hidDevice = usbInterface + "/" + hidName;
        std::filesystem::create_directories(hidDevice + "/hidraw/" + name);
        Write(usbDevice + "/bcdDevice", "0105\n");
        if (node.usbInterface >= 0) {
            char text[16];
            std::snprintf(text, sizeof text, "%02x\n", node.usbInterface);
            Write(usbInterface + "/bInterfaceNumber", text);
        }
        if (node.withUevent) {
            char uevent[256];
            std::snprintf(uevent, sizeof uevent,
                          "DRIVER=hid-generic\nHID_ID=0003:%08X:%08X\nHID_NAME=Test\nHID_PHYS=%s\n",
                          node.vendorId, node.productId, node.phys.c_str());
            Write(hidDevice + "/uevent", uevent);
        }
        Write(hidDevice + "/report_descriptor",
              std::string(node.descriptor.begin(), node.descriptor.end()));
        std::filesystem::create_directory_symlink(hidDevice + "/hidraw/" + name, ClassFolder() + "/" + name);
        std::filesystem::create_directory_symlink(hidDevice, hidDevice + "/hidraw/" + name + "/device");
        Write(DevFolder() + "/" + name, "");
        return hidDevice;
    }

    void Remove(int number) {
        const std::string name = "hidraw" + std::to_string(number);
        std::filesystem::remove(ClassFolder() + "/" + name);
        std::filesystem::remove(DevFolder() + "/" + name);
    }

    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

private:
    std::string root_;
};

}  // namespace q208::test
