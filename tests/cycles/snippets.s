| One instruction per label, for the cycle counts of tests/cycles: each test row starts the
| machine at a label with registers of its own and runs one instruction (or a few), so that
| what follows a label does not matter. Placed at 0x10000; the data they read is at 0x2000,
| where A0 points, and at 0x2100 (A1).

    .text
    .org    0

| Moves, by source and destination modes.
move_b_dd:      move.b  %d0,%d1
move_w_an_ind:  move.w  %a0,(%a1)
move_l_post_pre: move.l (%a0)+,-(%a1)
move_w_pre_dn:  move.w  -(%a0),%d1
move_l_d16_absl: move.l 8(%a0),(0x2000).l
move_w_idx_d16: move.w  2(%a0,%d1.w),4(%a1)
move_l_absw_idx: move.l (0x2000).w,2(%a1,%d2.l)
move_w_pc_dn:   move.w  data(%pc),%d0
move_l_pcidx_absw: move.l near1(%pc,%d1.w),(0x2000).w
near1:          .long   0
move_l_imm_ind: move.l  #0x12345678,(%a0)
move_b_imm_dn:  move.b  #1,%d0
movea_w_imm:    movea.w #0x1234,%a2
movea_l_ind:    movea.l (%a0),%a2
moveq:          moveq   #-1,%d0

| ADD and its kin, both directions, the long forms' register and immediate add-ons.
add_w_dd:       add.w   %d0,%d1
add_l_dd:       add.l   %d0,%d1
add_l_an:       add.l   %a0,%d1
add_l_imm:      .word   0xd2bc, 0x0001, 0x2345  | add.l #0x12345,%d1, which as would make ADDI
add_l_ind:      add.l   (%a0),%d1
add_w_d16:      add.w   4(%a0),%d1
add_w_to_post:  add.w   %d1,(%a0)+
add_l_to_pre:   add.l   %d1,-(%a0)
adda_w:         adda.w  %d0,%a1
adda_l_dn:      adda.l  %d0,%a1
adda_l_ind:     adda.l  (%a0),%a1
adda_l_imm:     adda.l  #0x12345,%a1
sub_l_absl:     sub.l   (0x2000).l,%d1
suba_w_idx:     suba.w  2(%a0,%d0.w),%a1
cmp_l_dd:       cmp.l   %d0,%d1
cmp_w_ind:      cmp.w   (%a0),%d1
cmpa_w_dn:      cmpa.w  %d0,%a1
cmpa_l_imm:     cmpa.l  #0x12345,%a1
and_l_dd:       and.l   %d0,%d1
and_l_imm:      .word   0xc2bc, 0x0001, 0x2345  | and.l #0x12345,%d1
or_l_ind:       or.l    (%a0),%d1
or_b_to_d16:    or.b    %d1,4(%a0)
eor_l_dd:       eor.l   %d0,%d1
eor_w_to_ind:   eor.w   %d0,(%a0)

| Immediates and quick forms.
addi_w_dn:      addi.w  #1000,%d1
addi_l_dn:      addi.l  #0x12345,%d1
addi_l_ind:     addi.l  #0x12345,(%a0)
subi_l_dn:      subi.l  #0x12345,%d1
andi_l_dn:      andi.l  #0x12345,%d1
andi_w_absw:    andi.w  #0x1234,(0x2000).w
ori_b_absw:     ori.b   #1,(0x2000).w
eori_l_post:    eori.l  #0x12345,(%a0)+
cmpi_l_dn:      cmpi.l  #0x12345,%d1
cmpi_w_ind:     cmpi.w  #0x1234,(%a0)
cmpi_l_ind:     cmpi.l  #0x12345,(%a0)
addq_w_dn:      addq.w  #1,%d0
addq_l_dn:      addq.l  #1,%d0
addq_w_an:      addq.w  #1,%a0
addq_l_an:      addq.l  #1,%a0
addq_l_ind:     addq.l  #1,(%a0)
subq_b_d16:     subq.b  #1,4(%a0)
subq_w_an:      subq.w  #8,%a0

| The extended and decimal forms, register and memory.
addx_w_dd:      addx.w  %d0,%d1
addx_l_dd:      addx.l  %d0,%d1
addx_w_mm:      addx.w  -(%a0),-(%a1)
addx_l_mm:      addx.l  -(%a0),-(%a1)
subx_l_mm:      subx.l  -(%a0),-(%a1)
abcd_dd:        abcd    %d0,%d1
abcd_mm:        abcd    -(%a0),-(%a1)
sbcd_mm:        sbcd    -(%a0),-(%a1)
nbcd_dn:        nbcd    %d0
nbcd_ind:       nbcd    (%a0)
cmpm_w:         cmpm.w  (%a0)+,(%a1)+
cmpm_l:         cmpm.l  (%a0)+,(%a1)+

| One operand.
clr_l_dn:       clr.l   %d0
clr_w_ind:      clr.w   (%a0)
clr_l_post:     clr.l   (%a0)+
neg_b_dn:       neg.b   %d0
negx_l_dn:      negx.l  %d0
not_w_pre:      not.w   -(%a0)
tst_b_dn:       tst.b   %d0
tst_l_ind:      tst.l   (%a0)
tas_dn:         tas     %d0
tas_ind:        tas     (%a0)
ext_w:          ext.w   %d0
ext_l:          ext.l   %d0
swap:           swap    %d0
exg:            exg     %d0,%a1
nop:            nop

| Multiplications and divisions by register, then from memory and immediate.
mulu_dn:        mulu.w  %d1,%d0
mulu_imm:       mulu.w  #3,%d0
muls_dn:        muls.w  %d1,%d0
muls_ind:       muls.w  (%a0),%d0
divu_dn:        divu.w  %d1,%d0
divu_ind:       divu.w  (%a0),%d0
divs_dn:        divs.w  %d1,%d0
divs_d16:       divs.w  4(%a0),%d0

| Shifts and rotations: counts in the word, in a register, and the memory forms.
lsl_w_1:        lsl.w   #1,%d0
lsl_w_8:        lsl.w   #8,%d0
asr_l_1:        asr.l   #1,%d0
ror_l_8:        ror.l   #8,%d0
lsl_l_reg:      lsl.l   %d1,%d0
roxr_b_reg:     roxr.b  %d1,%d0
asl_w_reg:      asl.w   %d1,%d0
asl_mem_ind:    asl.w   (%a0)
ror_mem_d16:    ror.w   4(%a0)
lsr_mem_absl:   lsr.w   (0x2000).l

| MOVEM: the tests write each register mask over the one assembled here.
movem_l_to_pre: movem.l %d0,-(%a0)
movem_w_to_ind: movem.w %d0,(%a0)
movem_w_from_post: movem.w (%a0)+,%d0
movem_l_from_d16: movem.l 4(%a0),%d0
movem_w_to_absl: movem.w %d0,(0x2000).l
movem_l_from_pcidx: movem.l near2(%pc,%d1.w),%d0
near2:          .long   0
movep_w_to:     movep.w %d0,2(%a0)
movep_l_from:   movep.l 2(%a0),%d0

| Branches.
beq_s:          beq.s   beq_s
beq_w:          beq.w   beq_w
bra_s:          bra.s   bra_s
bra_w:          bra.w   bra_w
bsr_s:          bsr.s   bsr_s
bsr_w:          bsr.w   bsr_w
dbf:            dbf     %d0,dbf
dbeq:           dbeq    %d0,dbeq
seq_dn:         seq     %d0
seq_ind:        seq     (%a0)
st_dn:          st      %d0

| Jumps and addresses, by control mode.
jmp_ind:        jmp     (%a0)
jmp_d16:        jmp     4(%a0)
jmp_idx:        jmp     2(%a0,%d0.w)
jmp_absw:       jmp     (0x2000).w
jmp_absl:       jmp     (0x12000).l
jmp_pc:         jmp     data(%pc)
jmp_pcidx:      jmp     near3(%pc,%d0.w)
near3:          nop
jsr_ind:        jsr     (%a0)
jsr_idx:        jsr     2(%a0,%d0.w)
jsr_absl:       jsr     (0x12000).l
jsr_pc:         jsr     data(%pc)
lea_ind:        lea     (%a0),%a1
lea_d16:        lea     4(%a0),%a1
lea_idx:        lea     2(%a0,%d0.w),%a1
lea_absl:       lea     (0x12000).l,%a1
lea_pc:         lea     data(%pc),%a1
pea_ind:        pea     (%a0)
pea_absw:       pea     (0x2000).w
pea_absl:       pea     (0x12000).l
pea_pcidx:      pea     near4(%pc,%d0.w)
near4:          nop
rts:            rts
rtr:            rtr
rte:            rte
link:           link    %a6,#-8
unlk:           unlk    %a6

| Status register, bits, and what may raise an exception.
move_to_ccr:    move.w  %d0,%ccr
move_to_sr_ind: move.w  (%a0),%sr
move_to_sr_d16: move.w  4(%a0),%sr
move_from_sr_dn: move.w %sr,%d0
move_from_sr_ind: move.w %sr,(%a0)
andi_ccr:       andi.b  #0x1f,%ccr
ori_sr:         ori.w   #0x0700,%sr
andi_sr:        andi.w  #0x2700,%sr
move_usp:       move.l  %usp,%a0
reset:          reset
btst_dyn_dn:    btst    %d1,%d0
btst_st_dn:     btst    #3,%d0
btst_dyn_ind:   btst    %d1,(%a0)
btst_st_ind:    btst    #3,(%a0)
bchg_dyn_dn:    bchg    %d1,%d0
bclr_dyn_dn:    bclr    %d1,%d0
bset_dyn_dn:    bset    %d1,%d0
bset_st_dn:     bset    #20,%d0
bset_st_low:    bset    #3,%d0
bclr_st_dn:     bclr    #20,%d0
bchg_dyn_ind:   bchg    %d1,(%a0)
bset_st_d16:    bset    #1,4(%a0)
chk_dn:         chk.w   %d1,%d0
chk_ind:        chk.w   (%a0),%d0
trap:           trap    #0
trapv:          trapv
illegal:        illegal
line_a:         .word   0xa000
line_f:         .word   0xf000

| What the words fix and what data decide, for the estimates: immediate sources and divisors,
| conditions that always or never hold, a MOVEM's mask, a CHK's immediate bound.
muls_imm:       muls.w  #-3,%d0
divu_imm:       divu.w  #7,%d0
divu_zero:      divu.w  #0,%d0
divs_imm:       divs.w  #-5,%d0
divs_imm_min:   divs.w  #-32768,%d0
sf_dn:          sf      %d0
dbt:            dbt     %d0,dbt
chk_imm:        chk.w   #100,%d0
movem_l_five:   movem.l %d0-%d3/%a1,-(%a0)
bchg_st_low:    bchg    #35,%d0
bset_st_16:     bset    #16,%d0
bclr_st_15:     bclr    #15,%d0

    .even
data:           .long   0x00012000, 0x00012000
