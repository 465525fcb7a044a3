#!/bin/sh
# Writes the .xz fixtures of test_xz_decoder.cpp into the folder given ($1), packed by Debian's xz
# from inputs made the same way every time and from x86 code (the file $2, its first 600,000
# bytes). Each line of the list it writes names a packed file and the input it must decode to.
set -e
mkdir -p "$1"
cd "$1"
: > empty
printf Q > one
perl -e 'srand 7; print map { chr int rand 256 } 1 .. 150000' > random
perl -e 'srand 8; @w = qw(Setup Paket Datei Ordner entpacken installieren Liste der die das und mit);
         print join(" ", map { $w[rand @w] } 1 .. 30000), "\n"' > text
perl -e 'print "Quorvane " x 30000, "\0" x 300000, map { "Zeile $_\n" } 1 .. 5000' > repeats
head -c 600000 "$2" > code
head -c 65536 code > code64k
cat text random code64k > mixed
cat random text > random-text
head -c 3000 code > code3k
head -c 2500 text > text2k
head -c 1000 random > random1k
: > list.new
pack() {  # name input xz-options...
  name=$1 input=$2
  shift 2
  xz -c -T1 "$@" "$input" > "$name.xz"
  echo "$name.xz $input" >> list.new
}
for p in 0 1 2 3 4 5 6 7 8 9 9e; do
  pack "code64k-$p" code64k "-$p"
  pack "code64k-$p-x86" code64k --x86 "--lzma2=preset=$p"
done
pack code-x86-blocks code --x86 --lzma2=preset=6 --block-size=100000
pack code-dict4k code --lzma2=dict=4KiB,lc=0,lp=4,pb=4
pack text-crc32-blocks text -C crc32 --block-size=30000
pack text-none-lc4 text -C none --lzma2=preset=6,lc=4,lp=0,pb=0,dict=12KiB
pack empty empty
pack empty-none empty -C none
pack one-crc32 one -C crc32
pack repeats repeats -9
pack random random
pack mixed-none-x86 mixed -C none --x86 --lzma2=preset=6
pack random-text random-text -C crc32
# Small ones, to be damaged at random thousands of times.
pack small-code code3k --x86 --lzma2=preset=6 --block-size=1200
pack small-text text2k -C crc32 --lzma2=preset=6,lc=1,lp=3,pb=0
pack small-random random1k -C none
# Several threads write both sizes into each block header.
xz -c -T2 -C crc32 --block-size=150000 code > code-sizes.xz
echo "code-sizes.xz code" >> list.new
# Refused: the decoder takes the x86 filter with a start offset of 0 only.
xz -c -T1 --x86=start=16 --lzma2=preset=1 code64k > code64k-x86-start16.xz
mv list.new list
