// CharOrderList: the music fonts of the sort engine and the character orders of "Engraver Font
// Set" and "Petrucci", as the built-in text the sort tables are parsed from. Character lines hold
// the codes in rank order, 20 to a line, as octal escapes; the comment above each gives them in
// hexadecimal.
#include "expressions/txtexpr_sort.h"

namespace orvex {

namespace {

// clang-format off
constexpr char kCharOrderText[] =
    "#FONT 1 Engraver Font Set\n"
    // AF B8 B9 70 50 BD 46 66 C4 EC EB EA 5A 6B 73 53 82 B6 A7 8D  (ranks 1-20)
    "\257\270\271\160\120\275\106\146\304\354\353\352\132\153\163\123\202\266\247\215\n"
    // 7A 30 31 32 33 34 35 36 37 38 39 51 48 78 79 4C 59 6C B4 C2  (ranks 21-40)
    "\172\060\061\062\063\064\065\066\067\070\071\121\110\170\171\114\131\154\264\302\n"
    // E7 F1 77 57 DD CF FA 58 68 4F 7C B1 C0 D0 D1 E1 E2 E3 21 22  (ranks 41-60)
    "\347\361\167\127\335\317\372\130\150\117\174\261\300\320\321\341\342\343\041\042\n"
    // 2F 40 44 45 64 65 BB BC BE BA DC 23 24 41 4E 61 62 6E F5 81  (ranks 61-80)
    "\057\100\104\105\144\145\273\274\276\272\334\043\044\101\116\141\142\156\365\201\n"
    // 63 43 A1 2A 25 3D C7 D4 DE 74 3F FF 42 56 26 27 2B 2C 2D 2E  (ranks 81-100)
    "\143\103\241\052\045\075\307\324\336\164\077\377\102\126\046\047\053\054\055\056\n"
    // 3A 3B 3C 3E 4D 54 55 6D 6F 75 76 7E A9 AE B2 B3 B5 B7 BF DF  (ranks 101-120)
    "\072\073\074\076\115\124\125\155\157\165\166\176\251\256\262\263\265\267\277\337\n"
    // E0 F0 F6 F8 F9 E8 67 FB FD 5E 5F C9 5B 5D 28 29 7B 7D A2 A3  (ranks 121-140)
    "\340\360\366\370\371\350\147\373\375\136\137\311\133\135\050\051\173\175\242\243\n"
    // AA C1 B0 A4 A6 A5 49 69 4A 4B 52 6A 72 EF DB C3 D7 60 D9 8E  (ranks 141-160)
    "\252\301\260\244\246\245\111\151\112\113\122\152\162\357\333\303\327\140\331\216\n"
    // 8F 90 9D 9E E5 FE A8 C5 E4 CE EE D2 D3 F2 C8 F3 FC D5 DA  (ranks 161-179)
    "\217\220\235\236\345\376\250\305\344\316\356\322\323\362\310\363\374\325\332\n"
    "#FONT 2 Engraver Font Extras\n"
    "#FONT 2 Engraver Font Ext-Vx\n"
    "#FONT 2 EngraverFontExtras\n"
    "#FONT 2 EngraverFontExt-Vx\n"
    "#FONT 2 Tamburo\n"
    "#FONT 3 Engraver Font Text H\n"
    "#FONT 3 Engraver Font Text NCS\n"
    "#FONT 3 Engraver Font Text T\n"
    "#FONT 3 EngraverFontTextH\n"
    "#FONT 3 EngraverFontTextNCS\n"
    "#FONT 3 EngraverFontTextT\n"
    "#FONT 4 Engraver Time\n"
    "#FONT 4 EngraverTime\n"
    "#FONT 5 Opus\n"
    "#FONT 5 Opus Chords\n"
    "#FONT 5 Opus Percussion\n"
    "#FONT 5 Opus Special\n"
    "#FONT 5 Opus Text\n"
    "#FONT 5 Inkpen Special\n"
    "#FONT 5 Inkpen Text\n"
    "#FONT 5 Inkpen\n"
    "#FONT 5 NewMusicNotes\n"
    "#FONT 5 November\n"
    "#FONT 5 Inkpen Chords\n"
    "#FONT 5 Petrucci\n"
    // AF B8 B9 70 50 BD 46 66 C4 EC EB EA 5A 6B 73 53 82 A7 8D 7A  (ranks 1-20)
    "\257\270\271\160\120\275\106\146\304\354\353\352\132\153\163\123\202\247\215\172\n"
    // 30 31 32 33 34 35 36 37 38 39 BC C1 AA A3 A2 B0 A4 A6 A5 BB  (ranks 21-40)
    "\060\061\062\063\064\065\066\067\070\071\274\301\252\243\242\260\244\246\245\273\n"
    // 78 58 45 65 51 71 F2 48 68 79 4C 59 6C B4 C2 E7 F1 77 57 DD  (ranks 41-60)
    "\170\130\105\145\121\161\362\110\150\171\114\131\154\264\302\347\361\167\127\335\n"
    // CF FA 4F 7C B1 C0 D0 D1 E1 E2 E3 21 22 2F 40 BE BA DC 23 24  (ranks 61-80)
    "\317\372\117\174\261\300\320\321\341\342\343\041\042\057\100\276\272\334\043\044\n"
    // 41 4E 61 62 6E F5 81 63 43 A1 2A 25 3D C7 D4 DE 74 3F 42 56  (ranks 81-100)
    "\101\116\141\142\156\365\201\143\103\241\052\045\075\307\324\336\164\077\102\126\n"
    // 26 27 2B 2C 2D 2E 3A 3B 3C 3E 4D 54 55 6D 6F 75 76 7E A9 AE  (ranks 101-120)
    "\046\047\053\054\055\056\072\073\074\076\115\124\125\155\157\165\166\176\251\256\n"
    // B2 B3 B5 B7 BF DF E0 F0 F6 F8 F9 E8 67 FB FD 5E 5F C9 5B 5D  (ranks 121-140)
    "\262\263\265\267\277\337\340\360\366\370\371\350\147\373\375\136\137\311\133\135\n"
    // 28 29 7B 7D 49 69 4A 4B 52 6A 72 EF DB C3 D7 60 D9 E5 A8 C5  (ranks 141-160)
    "\050\051\173\175\111\151\112\113\122\152\162\357\333\303\327\140\331\345\250\305\n"
    // E4 CE EE D2 D3 C8 F3 D5 DA  (ranks 161-169)
    "\344\316\356\322\323\310\363\325\332\n"
    "#FONT 5 Maestro\n"
    "#FONT 5 Maestro Wide\n"
    "#FONT 5 Gracenotes\n"
    "#FONT 5 GoldenAge\n"
    "#FONT 5 Golden Age\n";
// clang-format on

}  // namespace

const std::string_view CharOrderList(kCharOrderText, sizeof(kCharOrderText) - 1);

}  // namespace orvex
