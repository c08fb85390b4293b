The simulated headset command the device cases stand on: what it stores and shows must be
what a headset would hold; what it refuses is not half done.

  $ sim 2>&1 | head -1; echo ${PIPESTATUS[0]}; SBHEADSET_SIM_DIR= sim list
  usage: sbheadset-sim COMMAND [ARGS]
  2
  sbheadset-sim: SBHEADSET_SIM_DIR is not set
  [1]

Refused creates leave nothing; serials keep trailing blanks; list in name order.

  $ sim create hmd1; for args in hmd1 bad/name 'hmd2 colour=red' 'hmd2 interfaces=0'; do row sim create $args; done
  sbheadset-sim: headset 'hmd1' already exists|[1]
  sbheadset-sim: invalid headset name 'bad/name' (letters, digits, '-', '_', '.')|[1]
  sbheadset-sim: unknown key 'colour'|[1]
  sbheadset-sim: bad value '0' for interfaces|[1]
  $ sim create b-periph vendor_id=0xF3B2 product_id=0x0101 "serial=P 1  " interfaces=2; sim create a-hmd "product=Bench unit"; sim list
  a-hmd F3A1:2000 serial="a-hmd" product="Bench unit" interfaces=1 stored=none
  b-periph F3B2:0101 serial="P 1  " product="Skybeacon HMD" interfaces=2 stored=none
  hmd1 F3A1:2000 serial="hmd1" product="Skybeacon HMD" interfaces=1 stored=none

store compresses (zlib) from a file or standard input, inspect inflates byte for byte; too much
is refused, the old one kept. inspect reports a damaged stream; erase forgets the configuration.

  $ printf '{\n   "revision" : 4\n}\n' >doc.json; sim store hmd1 doc.json; sim inspect hmd1 | cmp - doc.json
  $ od -An -tx1 -N2 $SBHEADSET_SIM_DIR/hmd1.zcfg; printf '{}' | sim store a-hmd -; head -c 70000 /dev/urandom >big.bin; sim store a-hmd big.bin; sim inspect a-hmd
   78 9c
  sbheadset-sim: compressed configuration of [0-9]+ bytes does not fit a headset \(at most 65535\) (re)
  {} (no-eol)
  $ printf 'not zlib' >bad.bin; sim store-raw a-hmd bad.bin; sim inspect a-hmd; sim erase a-hmd; sim inspect a-hmd
  sbheadset-sim: stored configuration is damaged: incorrect header check
  sbheadset-sim: headset 'a-hmd' holds no configuration
  [1]

Faults are set, listed and unset; an unset product is none; remove takes the headset and its
configuration.

  $ sim set hmd1 get_fail=all short_report=3 announce_size=0x2001; sim unset hmd1 get_fail product; sim list | grep -o 'hmd1.*'
  hmd1 F3A1:2000 serial="hmd1" product=none interfaces=1 stored=30 bytes faults: short_report=3 announce_size=8193
  $ sim remove hmd1; ls $SBHEADSET_SIM_DIR
  a-hmd.headset
  b-periph.headset

A report delay is a setting that clear-faults keeps; every feature report waits it out.

  $ sim store a-hmd doc.json; sim set a-hmd report_delay_us=100000; sim clear-faults a-hmd
  > sim show a-hmd | grep delay; row sim set a-hmd report_delay_us=-1
  report_delay_us=100000
  sbheadset-sim: bad value '-1' for report_delay_us|[1]
  $ t0=$(date +%s%N); SBHEADSET_SIM_TRACE=trace sbconfigtool /InputSentinel 2>/dev/null; t1=$(date +%s%N)
  > n=$(grep -c '^get' trace); echo $n reports; (( t1 - t0 >= n * 100000000 )) && echo each waited
  3 reports
  each waited
