#!/usr/bin/env bash
# The udev rule: well formed, matching the hidraw nodes of exactly the vendor
# and product ids the device finder accepts, tagged for uaccess, and numbered
# to run before the seat rules act on that tag.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/lib.sh"

RULES=$SB_SOURCE_DIR/contrib/udev/70-sbconfigtool.rules

begin_case "the rule file exists and is numbered below 73"
[ -r "$RULES" ] || fail "no rule file at $RULES"
number=$(basename "$RULES" | sed -n 's/^\([0-9][0-9]\)-.*\.rules$/\1/p')
[ -n "$number" ] || fail "the file name does not start with a two-digit number"
[ "$((10#$number))" -lt 73 ] || fail "number $number does not run before 73-seat-late.rules"

# The rule lines, without comments and blank lines.
grep -vE '^[[:space:]]*(#|$)' "$RULES" >"$TEST_DIR/lines"

begin_case "every line is a list of KEY OP \"VALUE\" pairs of known keys"
[ -s "$TEST_DIR/lines" ] || fail "no rule lines"
pair='(SUBSYSTEM|KERNEL|ATTRS\{idVendor\}|ATTRS\{idProduct\})==("[^"]*")|TAG\+="[^"]*"'
while IFS= read -r line; do
  rest=$(sed -E "s/^($pair)(, ($pair))*\$//" <<<"$line")
  [ -z "$rest" ] || fail "malformed or unexpected line: $line"
done <"$TEST_DIR/lines"

begin_case "every line matches hidraw nodes of the headset vendor and tags them for uaccess"
vendor=$(sed -n 's/.*kVendorIdHeadset = 0x\([0-9A-Fa-f]*\);.*/\1/p' "$SB_SOURCE_DIR/vantagelib/hiddevicetable.h" |
  tr 'A-F' 'a-f')
[ "$vendor" = f3a1 ] || fail "vendor id in the code is '$vendor'"
while IFS= read -r line; do
  for key in 'SUBSYSTEM=="hidraw"' 'KERNEL=="hidraw*"' "ATTRS{idVendor}==\"$vendor\"" 'TAG+="uaccess"'; do
    grep -qF -- "$key" <<<"$line" || fail "line lacks $key: $line"
  done
  [ "$(grep -o 'ATTRS{idProduct}' <<<"$line" | wc -l)" = 1 ] || fail "not one product id: $line"
done <"$TEST_DIR/lines"

begin_case "the product ids are exactly those the device finder accepts"
sed -n 's/.*kSupportedHeadsetProducts\[\] = {\(.*\)};.*/\1/p' "$SB_SOURCE_DIR/vantagelib/devicefinder.cc" |
  grep -oE '0x[0-9A-Fa-f]+' | sed 's/^0x//' | tr 'A-F' 'a-f' | sort >"$TEST_DIR/code_ids"
[ "$(wc -l <"$TEST_DIR/code_ids")" -ge 1 ] || fail "no product ids found in vantagelib/devicefinder.cc"
grep -o 'ATTRS{idProduct}=="[^"]*"' "$TEST_DIR/lines" | sed 's/.*=="\(.*\)"/\1/' | sort >"$TEST_DIR/rule_ids"
cmp -s "$TEST_DIR/code_ids" "$TEST_DIR/rule_ids" || fail "ids differ (code, rule):
$(diff "$TEST_DIR/code_ids" "$TEST_DIR/rule_ids")"

begin_case "udevadm accepts the file, where it can check one"
if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
  udevadm verify --no-summary "$RULES" >"$TEST_DIR/verify" 2>&1 || fail "udevadm verify: $(cat "$TEST_DIR/verify")"
else
  echo "note: no 'udevadm verify' here; the rule was checked by the cases above only"
fi

finish
