// Simulated machine: data cards that leave their CD-ROM form on the vendor command and grow their
// interfaces over time. A card's devices are made once and then plugged in and out (present or not),
// as Windows keeps the devices of a card that was once attached.
#include <cstdio>
#include <string>

#include "platform/sim/machine.h"
#include "platform/sim/unicode.h"
#include "platform/sim/windows.h"

namespace sim {

namespace {

constexpr char kUsbClass[] = "{36FC9E60-C465-11CF-8056-444553540000}";
constexpr char kCdromClass[] = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
constexpr char kCdromInterface[] = "{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}";

std::wstring Hex4(unsigned v) {
  wchar_t buf[8];
  std::swprintf(buf, 8, L"%04X", v & 0xFFFF);
  return buf;
}

std::wstring Mi(int n) {
  wchar_t buf[8];
  std::swprintf(buf, 8, L"%02d", n);
  return buf;
}

}  // namespace

void Machine::MakeCardDevices() {
  m_cards.clear();
  auto& devices = m_description.devices;
  for (std::size_t c = 0; c < m_description.cards.size(); ++c) {
    const CardDescription& card = m_description.cards[c];
    const int number = static_cast<int>(c + 1);
    const std::wstring vidPid = L"VID_" + Hex4(card.vendor) + L"&PID_" + Hex4(card.product);
    const std::wstring serial = L"QXR0000" + std::to_wstring(number);
    CardState state;
    state.firstDevice = devices.size();

    DeviceDescription storage;
    storage.instanceId = L"USB\\" + vidPid + L"\\" + serial;
    storage.classGuid = kUsbClass;
    storage.className = L"USB";
    storage.hardwareIds = {L"USB\\" + vidPid + L"&REV_0000", L"USB\\" + vidPid};
    storage.compatibleIds = {L"USB\\Class_08&SubClass_06&Prot_50", L"USB\\Class_08&SubClass_06", L"USB\\Class_08"};
    storage.description = L"USB Mass Storage Device";
    storage.present = false;
    storage.card = number;

    DeviceDescription cdrom;
    cdrom.instanceId = L"USBSTOR\\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00\\" + serial + L"&0";
    cdrom.classGuid = kCdromClass;
    cdrom.className = L"CDROM";
    cdrom.hardwareIds = {L"USBSTOR\\CdRomQXR_____QXRMTFFF4_______1.00", L"USBSTOR\\CdRomQXR_____QXRMTFFF4_______",
                         L"USBSTOR\\CdRom"};
    cdrom.compatibleIds = {L"USBSTOR\\CdRom", L"GenCdRom"};
    cdrom.friendlyName = L"QXR QXRMTFFF4 USB Device";
    cdrom.description = L"CD-ROM Drive";
    cdrom.pdoName = L"\\Device\\0000007" + std::to_wstring(number);
    cdrom.present = false;
    cdrom.card = number;
    cdrom.interfaces.push_back({kCdromInterface, L"\\\\?\\usbstor#cdrom&ven_qxr&prod_qxrmtfff4&rev_1.00#" +
                                                     Downcase(serial) + L"&0#{53f56308-b6bf-11d0-94f2-00a0c91efb8b}"});

    DeviceDescription composite = storage;
    composite.instanceId = L"USB\\" + vidPid + L"\\" + serial + L"C";
    composite.compatibleIds = {L"USB\\DevClass_00&SubClass_00&Prot_00", L"USB\\DevClass_00&SubClass_00",
                               L"USB\\DevClass_00", L"USB\\COMPOSITE"};
    composite.description = L"USB Composite Device";

    devices.push_back(storage);
    devices.push_back(cdrom);
    devices.push_back(composite);
    for (int mi : card.interfaces) {
      DeviceDescription itf;
      itf.instanceId = L"USB\\" + vidPid + L"&MI_" + Mi(mi) + L"\\7&" + serial + L"&0&00" + Mi(mi);
      itf.hardwareIds = {L"USB\\" + vidPid + L"&REV_0000&MI_" + Mi(mi), L"USB\\" + vidPid + L"&MI_" + Mi(mi)};
      itf.compatibleIds = {L"USB\\Class_ff&SubClass_ff&Prot_ff", L"USB\\Class_ff&SubClass_ff", L"USB\\Class_ff"};
      itf.description = L"Data card interface";
      itf.present = false;
      itf.card = number;
      devices.push_back(itf);
    }
    m_cards.push_back(state);
  }
}

void Machine::UpdateCards() {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  const std::uint64_t now = Elapsed();
  for (std::size_t c = 0; c < m_cards.size(); ++c) {
    const CardDescription& card = m_description.cards[c];
    CardState& state = m_cards[c];
    const std::string name = "card " + std::to_string(c + 1);
    if (state.phase == CardState::Unplugged && now >= card.pluggedAt) {
      state.phase = card.startsComposite ? CardState::Composite : CardState::Cdrom;
      state.compositeAt = card.pluggedAt;
      m_record.cardEvents.push_back(name + (card.startsComposite ? " plugged in switched" : " plugged in as a CD-ROM"));
    }
    if (state.phase == CardState::Switching && now >= state.switchAt) {
      state.phase = CardState::Composite;
      state.compositeAt = state.switchAt;
      m_record.cardEvents.push_back(name + " switched to its composite form");
    }
    if (card.unplugAt && now >= card.unplugAt && state.phase != CardState::Gone) {
      state.phase = CardState::Gone;
      m_record.cardEvents.push_back(name + " unplugged");
    }
    const bool cdromForm = state.phase == CardState::Cdrom || state.phase == CardState::Switching;
    const bool composite = state.phase == CardState::Composite;
    auto& devices = m_description.devices;
    devices[state.firstDevice].present = cdromForm;
    devices[state.firstDevice + 1].present = cdromForm || (composite && card.cdromStays);
    devices[state.firstDevice + 2].present = composite;
    for (std::size_t k = 0; k < card.interfaces.size(); ++k) {
      DeviceDescription& itf = devices[state.firstDevice + 3 + k];
      const bool present =
          composite && now >= state.compositeAt + (k + 1) * static_cast<std::uint64_t>(card.interfaceDelay);
      // Windows greets a device that arrives without a driver with its new-hardware window.
      if (present && !itf.present && itf.className.empty() && itf.classGuid.empty()) {
        RaiseNewHardwareWizard(*this, itf.instanceId, itf.description);
      }
      itf.present = present;
    }
  }
}

void Machine::CardRequest(std::size_t deviceIndex, win::DWORD code, const win::BYTE* block, win::DWORD inSize,
                          win::DWORD outSize) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  UpdateCards();
  for (std::size_t c = 0; c < m_cards.size(); ++c) {
    CardState& state = m_cards[c];
    if (deviceIndex != state.firstDevice + 1 || state.phase != CardState::Cdrom) continue;
    const CardDescription& card = m_description.cards[c];
    const std::string name = "card " + std::to_string(c + 1);
    auto u16 = [&](std::size_t at) { return static_cast<unsigned>(block[at] | (block[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    const bool layout = code == 0x4D004 && block && inSize == 44 && outSize == 272 && u16(0) == 44 && block[6] == 6 &&
                        block[7] == 32 && block[8] == 1 && u32(12) == 192 && u32(20) == 80 && u32(24) == 48;
    char bytes[8] = "";
    if (block && inSize >= 31) std::snprintf(bytes, sizeof bytes, "%02X%02X%02X", block[28], block[29], block[30]);
    if (!layout) {
      m_record.cardEvents.push_back(name + " refused a malformed request");
      continue;
    }
    bool accepted = card.accepts.empty() ? block[28] == 0x9F : false;
    for (const auto& a : card.accepts) accepted |= a == bytes;
    if (!accepted || card.ignoresCommand) {
      m_record.cardEvents.push_back(name + " command " + bytes + " ignored");
      continue;
    }
    m_record.cardEvents.push_back(name + " command " + bytes + " accepted");
    if (++state.accepted >= card.commandsNeeded) {
      state.phase = CardState::Switching;
      state.switchAt = Elapsed() + card.switchDelay;
    }
  }
}

}  // namespace sim
