#pragma once

#include "vocabulario/texto_fixo.hpp"

// The comment lines of the tool-path file, word for word: the job summary at
// the top, the two comments before every turn, the extents comments at the
// end of an internal thread. The generator writes them from these pieces and
// the viewer reads them back with the same pieces (comentarios.hpp), so the
// two cannot drift apart. The texts are those of the comment without its
// marker (";" in today's file) and without line breaks.
namespace vocabulario {

// Labels, each ending in its separator, and units.
namespace rotulo {
inline constexpr char diametro_final[] = "Df-Diametro final da rosca:";
inline constexpr char diametro_acabamento[] = "Da-Diametro acabamento da rosca:";
inline constexpr char diametro_inicial[] = "Di-diametro inicial da rosca:";
inline constexpr char passo_lateral[] = "pl-Passo Lateral da rosca:";
inline constexpr char passo_acabamento[] = "pl-Passo Lateral de acabamento da rosca:";
inline constexpr char quantidade_passes[] = "np-Quantidade de Passes Laterais da rosca:";
inline constexpr char passe_unico[] = "- PASSE UNICO";
// "passo lateral: N com diametro: D [mm]" in the pass list of the summary and
// "passo lateral: N - fio rosca N: M" before every turn share their start.
inline constexpr char passe[] = "passo lateral:";
inline constexpr char item_diametro[] = "com diametro:";
inline constexpr char volta[] = "- fio rosca N:";
// After the turn number, in a thread of several starts: which start the
// helix cuts, of how many ("- entrada 3 de 7").
inline constexpr char volta_entrada[] = "- entrada";
inline constexpr char volta_entradas[] = "de";
inline constexpr char diametro_volta[] = "diametro:";
inline constexpr char comprimento[] = "L-Comprimento da rosca:";
inline constexpr char passo_rosca[] = "p-Passo Vertical da rosca (1 fio):";
inline constexpr char fios[] = "n-Fios total da rosca:";
inline constexpr char angulo_inicial[] = "Angulo Inicial de Rosca:";
inline constexpr char angulo_final[] = "Angulo Final de Rosca:";
inline constexpr char rosca[] = "Rosca";
inline constexpr char interna[] = "[INTERNA]";
inline constexpr char externa[] = "[EXTERNA]";
inline constexpr char direita[] = "[Direita >> sentido Horario]";
inline constexpr char esquerda[] = "[Esquerda >> sentido Anti-Horario]";
inline constexpr char ferramenta[] = "Df-ferramenta:";
inline constexpr char precisao[] = "Precisao de Passo:";
inline constexpr char tempo[] = "Tempo de usinagem:";
inline constexpr char rotacao[] = "Rotacao S:";
inline constexpr char avanco[] = "Avanco Feed-Rate (fn):";
inline constexpr char avanco_rotacao[] = "Avanco por rotacao (Fz):";
inline constexpr char x_max[] = "X MAX =";
inline constexpr char x_min[] = "--- X MIN =";
inline constexpr char y_max[] = "Y MAX =";
inline constexpr char y_min[] = "--- Y MIN =";
inline constexpr char diametro_usinado[] = "DIAMETRO USINADO MAXIMO =";
// In place of a value the plan switched off.
inline constexpr char desabilitado[] = "DESABILITADO";
// The ways of cutting asked on the command line, one comment each, after
// the summary; a file without them has none of these lines.
inline constexpr char arcos[] = "Percurso em arcos helicoidais (G2/G3)";
// The same in Heidenhain's plain language, whose helical arcs are CP blocks.
inline constexpr char arcos_cp[] = "Percurso em arcos helicoidais (CP)";
inline constexpr char fresamento[] = "Fresamento:";
inline constexpr char concordante[] = "concordante";
inline constexpr char discordante[] = "discordante";
inline constexpr char subindo[] = "- passes de baixo para cima";
inline constexpr char tangencial[] = "Entrada e saida tangenciais";
inline constexpr char compensacao[] = "Compensacao de raio: D";
// What the control's register holds: LinuxCNC's tool table and today's
// controls the diameter; a Fanuc's D register the radius.
inline constexpr char compensacao_tabela[] = "- diametro da fresa na tabela do comando";
inline constexpr char compensacao_raio[] =
    "- raio da fresa no corretor, na Haas raio ou diametro conforme o ajuste do comando";
// Only the wear in the register: the path is the cutter centre's.
inline constexpr char compensacao_desgaste[] =
    "- so o desgaste: diametro 0 na tabela mais o desgaste, negativo numa fresa gasta";
inline constexpr char compensacao_desgaste_raio[] =
    "- so o desgaste: geometria 0 no corretor e o desgaste no corretor de desgaste";
inline constexpr char compensacao_desgaste_dr[] =
    "- so o desgaste: R 0 na tabela de ferramentas e o desgaste em DR, negativo numa fresa gasta";
inline constexpr char compensacao_desgaste_siemens[] =
    "- so o desgaste: raio 0 nos dados da ferramenta e o desgaste no desgaste do raio, negativo numa fresa gasta";
// Heidenhain's and Siemens's tool tables hold the radius.
inline constexpr char compensacao_raio_tabela[] = "- raio da fresa na tabela de ferramentas do comando";
inline constexpr char repeticoes[] = "Repeticoes do ultimo passe:";
inline constexpr char avanco_aresta[] = "Avanco na aresta: cada passe com o avanco do centro da fresa";
inline constexpr char conicidade[] = "Conicidade: 1:";
inline constexpr char conicidade_face[] = "no diametro - diametros na face Z0";
// Where the path goes below the thread length (the arcs into and out of the
// helix at the bottom, the last chord): the hole must be that deep.
inline constexpr char z_minimo[] = "Z minimo do percurso:";
// A mill with several profiles, a thread with several starts, passes of equal area.
inline constexpr char perfis[] = "Fresa de perfis:";
inline constexpr char perfis_passo[] = "perfis um passo entre si -";
inline constexpr char perfis_voltas[] = "volta(s) por passe";
inline constexpr char entradas[] = "Entradas da rosca:";
inline constexpr char entradas_avanco[] = "- avanco por volta";
inline constexpr char area_igual[] = "Passes de area igual no perfil em V: o primeiro passe e o mais fundo";
// What the path takes at its feeds, measured on it.
inline constexpr char tempo_percurso[] = "Tempo de corte pelo percurso:";
// The answered diameters at the file's own precision: the summary above
// rounds them to two decimals, which the path's three would contradict.
inline constexpr char medidas[] = "Medidas do percurso: Df";
inline constexpr char medidas_di[] = "Di";
inline constexpr char medidas_ferramenta[] = "ferramenta";
// Several holes: how many, what each takes, and each centre.
inline constexpr char furos[] = "Furos:";
inline constexpr char furos_cada[] = "minutos cada";
inline constexpr char furo[] = "Furo";
}  // namespace rotulo

namespace unidade {
inline constexpr char mm_colchetes[] = "[mm]";
inline constexpr char mm[] = "mm";
inline constexpr char fios[] = "fios";
inline constexpr char graus[] = "[graus]";
inline constexpr char minutos[] = "minutos";
inline constexpr char rpm[] = "rpm";
inline constexpr char mm_por_minuto[] = "[mm / min]";
inline constexpr char mm_por_rotacao[] = "[mm / rotacao]";
}  // namespace unidade

// Whole comment texts as printf formats, from the pieces above. A value
// cell ("%.2f [mm]" or DESABILITADO) follows the labels that have one.
namespace formato {
inline constexpr auto diametro_final = juntar_fixo(rotulo::diametro_final, " %.2f ", unidade::mm_colchetes);
inline constexpr auto valor_mm = juntar_fixo("%.2f ", unidade::mm_colchetes);
inline constexpr auto quantidade_passes = juntar_fixo(rotulo::quantidade_passes, " %lld");
inline constexpr auto item_lista =
    juntar_fixo(rotulo::passe, " %lld ", rotulo::item_diametro, " %.3f ", unidade::mm_colchetes);
inline constexpr auto comprimento = juntar_fixo(rotulo::comprimento, " %.2f ", unidade::mm_colchetes);
inline constexpr auto passo_rosca = juntar_fixo(rotulo::passo_rosca, " %.2f ", unidade::mm_colchetes);
inline constexpr auto fios = juntar_fixo(rotulo::fios, " %.2f ", unidade::fios);
inline constexpr auto angulo_inicial = juntar_fixo(rotulo::angulo_inicial, " %.1f ", unidade::graus);
inline constexpr auto angulo_final = juntar_fixo(rotulo::angulo_final, " %.1f ", unidade::graus);
inline constexpr auto interna = juntar_fixo(rotulo::rosca, " ", rotulo::interna);
inline constexpr auto externa = juntar_fixo(rotulo::rosca, " ", rotulo::externa);
inline constexpr auto ferramenta = juntar_fixo(rotulo::ferramenta, " %.2f ", unidade::mm);
inline constexpr auto precisao = juntar_fixo(rotulo::precisao, " %.3f ", unidade::mm);
inline constexpr auto tempo = juntar_fixo(rotulo::tempo, " %.1f ", unidade::minutos);
inline constexpr auto rotacao = juntar_fixo(rotulo::rotacao, " %.0f ", unidade::rpm);
inline constexpr auto avanco = juntar_fixo(rotulo::avanco, " %.1f ", unidade::mm_por_minuto);
inline constexpr auto avanco_rotacao = juntar_fixo(rotulo::avanco_rotacao, " %.3f ", unidade::mm_por_rotacao);
// Before every turn; an internal thread's diameter with three decimals, an
// external one's with two.
inline constexpr auto volta = juntar_fixo(rotulo::passe, " %d ", rotulo::volta, " ");
inline constexpr auto volta_entrada = juntar_fixo(" ", rotulo::volta_entrada, " %d ", rotulo::volta_entradas, " %d");
inline constexpr auto diametro_volta_interna = juntar_fixo(rotulo::diametro_volta, " %.3f ", unidade::mm_colchetes);
inline constexpr auto diametro_volta_externa = juntar_fixo(rotulo::diametro_volta, " %.2f ", unidade::mm_colchetes);
// After the passes of an internal thread.
inline constexpr auto extensao_x = juntar_fixo(rotulo::x_max, " %.2f ", rotulo::x_min, " %.2f");
inline constexpr auto extensao_y = juntar_fixo(rotulo::y_max, " %.2f ", rotulo::y_min, " %.2f");
inline constexpr auto diametro_usinado = juntar_fixo(rotulo::diametro_usinado, " %.3f ", unidade::mm_colchetes);
// The ways of cutting.
inline constexpr auto fresamento = juntar_fixo(rotulo::fresamento, " %s%s");
inline constexpr auto compensacao = juntar_fixo(rotulo::compensacao, "%d %s");
inline constexpr auto repeticoes = juntar_fixo(rotulo::repeticoes, " %d");
inline constexpr auto conicidade = juntar_fixo(rotulo::conicidade, "%d ", rotulo::conicidade_face);
inline constexpr auto z_minimo = juntar_fixo(rotulo::z_minimo, " %.3f ", unidade::mm_colchetes);
inline constexpr auto perfis = juntar_fixo(rotulo::perfis, " %d ", rotulo::perfis_passo, " %d ", rotulo::perfis_voltas);
inline constexpr auto entradas = juntar_fixo(rotulo::entradas, " %d ", rotulo::entradas_avanco, " %.3f ",
                                             unidade::mm_colchetes);
inline constexpr auto tempo_percurso = juntar_fixo(rotulo::tempo_percurso, " %.1f ", unidade::minutos);
inline constexpr auto medidas = juntar_fixo(rotulo::medidas, " %.3f ", rotulo::medidas_di, " %.3f ",
                                            rotulo::medidas_ferramenta, " %.3f ", unidade::mm_colchetes);
inline constexpr auto furos = juntar_fixo(rotulo::furos, " %d - %.1f ", rotulo::furos_cada);
inline constexpr auto furo = juntar_fixo(rotulo::furo, " %d: X%.3f Y%.3f");
}  // namespace formato

}  // namespace vocabulario
