#!/usr/bin/env bash
# The udev rule: every line well formed, matching the hidraw nodes of the vendor and of exactly the
# product ids the device finder accepts, tagged for uaccess; numbered to run before the seat rules (73).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
RULES=$(ls "$SB_SOURCE_DIR"/contrib/udev/*.rules) LINES=$TEST_DIR/lines CODE=$SB_SOURCE_DIR/vantagelib

begin_case "one rule file numbered below 73, its lines well formed, for the finder's ids, tagged"
[ -f "$RULES" ] && [ "$(basename "$RULES" | cut -c1-2)" -lt 73 ] 2>/dev/null || fail "not one file below 73: $RULES"
grep -vE '^[[:space:]]*(#|$)' "$RULES" >"$LINES" || fail "no rule lines"
pair='(SUBSYSTEM|KERNEL|ATTRS\{id(Vendor|Product)\})=="[^"]*"|TAG\+="[^"]*"'
! grep -vxE "($pair)(, ($pair))*" "$LINES" || fail "the lines above are malformed"
vendor=$(sed -n 's/.*kVendorIdHeadset = 0x\([0-9A-Fa-f]*\);.*/\L\1/p' "$CODE/hiddevicetable.h")
for key in 'SUBSYSTEM=="hidraw"' 'KERNEL=="hidraw*"' "ATTRS{idVendor}==\"$vendor\"" 'TAG+="uaccess"'; do
  [ "$(grep -cF -- "$key" "$LINES")" = "$(wc -l <"$LINES")" ] || fail "not every line has $key"
done
products=$(sed -n 's/.*kSupportedHeadsetProducts\[\] = {\(.*\)};.*/\L\1/p' "$CODE/devicefinder.cc" | grep -o '[0-9a-f]\{4\}')
[ -n "$products" ] && [ "$(grep -o 'idProduct}=="[^"]*"' "$LINES" | cut -d'"' -f2 | sort)" = "$(sort <<<"$products")" ] ||
  fail "the product ids differ from the device finder's: $products"
finish
