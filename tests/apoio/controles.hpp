#pragma once

#include <map>
#include <string>
#include <vector>

// Small interpreters of the blocks the Heidenhain and Siemens files use,
// written from the controls' manuals and independent of the generator, and
// of LinuxCNC's canonical calls (rs274's output), into one form: the moves
// with their ends, arcs with their centre and the degrees they turn, the
// feed and the cutter compensation of each, and what the program does
// besides moving. A block a reader does not know is a fault at its line.

struct MovimentoCanonico {
    enum class Tipo { rapido, reta, arco };
    Tipo tipo = Tipo::rapido;
    double x = 0, y = 0, z = 0;  // where it ends
    double cx = 0, cy = 0;       // an arc's centre
    double varredura = 0;        // an arc's degrees, counter-clockwise positive
    double avanco = 0;           // of a feed move
    int compensacao = 0;         // 0, or 41 (cutter left of its travel) or 42 (right)
    int linha = 0;               // of the file, or of rs274's output
};

struct ProgramaLido {
    std::vector<MovimentoCanonico> movimentos;
    std::vector<int> ferramentas;  // each tool changed to
    double rotacao = 0;            // the spindle's speed when it came on
    int ligacoes = 0;              // times the spindle came on, clockwise
    std::vector<double> pausas;    // dwells, in seconds
    // The spindle on, and the dwell done, before the first feed move; off
    // after the last one; the program ended.
    bool ligado_antes_do_corte = false, pausa_antes_do_corte = false, desligado_depois = false, fim = false;
    std::string erro;  // the first fault: empty when the file read through
};

// Values set at the control, by the parameter's number: each replaces what
// the program assigns to that parameter, as the operator's edit would.
using ValoresNoComando = std::map<int, double>;

// LinuxCNC's canonical calls as rs274 -g prints them, the moves where the
// work offsets (G52 among them) put them.
ProgramaLido ler_rs274(const std::string& saida);

// A Heidenhain plain-language program: numbered blocks from 0 between BEGIN
// PGM and END PGM of one name, ";" comments, TOOL CALL, the dwell cycle 9,
// L with X Y Z, RL RR R0, FMAX or F and M, CC, CP with IPA IZ DR (at most
// 5400 degrees), every coordinate with its sign and at most four decimals
// or a signed Q parameter. Run as the control runs it, block by block: FN 0
// and formulas of Q parameters, FN 9 IF .. EQU .. GOTO LBL, LBL, CALL LBL
// back at LBL 0, the datum shift of cycle 7, M30 the end.
ProgramaLido ler_heidenhain(const std::string& arquivo, const ValoresNoComando& q = {});

// A Sinumerik program: ";" comments, G0 to G4, G17 G90 G94 G40 G41 G42 and
// G710 (lengths and feeds in mm, before any move), CFTCP (required under
// G41/G42: F is the cutter centre's), T and D1 and M6, S and M3 M5 M30,
// arcs with I J from the start and TURN=, the dwell G4 F in seconds; run
// block by block: R parameters, X= Y= Z= I= J= expressions, labels, IF ..
// GOTOF, REPEAT of a labelled section, the TRANS shift, M30 the end.
ProgramaLido ler_siemens(const std::string& arquivo, const ValoresNoComando& r = {});

// The same Siemens program in LinuxCNC's words: TURN=n as P(n+1), G4 F as
// G4 P, G710 as G21, CFTCP out, and the D1 of the tool's line out
// (LinuxCNC reads D only with G41/G42); R parameters as numbered ones,
// X=<expression> as X[..], IF .. GOTOF a label as an o-word if closed at
// the label, TRANS as G52, REPEAT as a copy of its section, the other
// labels out. Comments stay.
std::string siemens_para_linuxcnc(const std::string& arquivo);

// The moves with what only the writing tells apart joined: arcs one after
// another about one centre, in one sense, at one rise per degree, feed and
// compensation, are one arc (a helix in half turns or in one block of
// several); rapids that go nowhere are left out.
std::vector<MovimentoCanonico> juntar_arcos(const std::vector<MovimentoCanonico>& movimentos);

// The first difference between two lists of joined moves, the ends, the
// centres and the length of the arcs within `tolerancia` mm; empty when
// they are the same path.
std::string diferenca_movimentos(const std::vector<MovimentoCanonico>& esperados,
                                 const std::vector<MovimentoCanonico>& lidos, double tolerancia);
