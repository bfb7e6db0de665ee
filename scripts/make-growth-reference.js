#!/usr/bin/env node
// Makes data/growth-reference.json, the growth references the growth charts and the centiles use,
// as tables of L, M and S by age (Cole and Green's LMS method: z = ((X/M)^L - 1) / (L*S)).
//
// WHO 2006 child growth standards, by day from birth to 1856 days, from the npm package
// @pedi-growth/core (dist/data/*-0-5.json), which extracted them from the WHO's own anthro R
// package (GPL-3.0): weight, length (to 730 days) and height (from 731 days), head circumference
// and BMI (from 731 days, the BMI chart starting at 2 years) for age.
//
// CDC 2000 growth charts, by half month from 24 to 240 months: no npm package carries the CDC's
// LMS files themselves. The CDC's published centile columns (3rd, 5th, 10th, 25th, 50th, 75th,
// 90th, 95th and 97th for weight and stature; 3rd to 95th for BMI; each computed by the CDC from
// its L, M and S), as carried to four decimals by the npm package
// @rcpch/digital-growth-charts-react-component-library (chart cdc_child), are read back into
// L, M and S at each age: for each L the columns' Box-Cox transforms lie on a straight line in z,
// whose intercept and slope give M and S; the L whose line fits best is kept. The fit's largest
// error is printed, in SDS, to standard error. The BMI columns above the 95th ("extended BMI") are
// not LMS centiles and are not used.
//
//   cd /tmp && npm pack @pedi-growth/core @rcpch/digital-growth-charts-react-component-library
//   mkdir who cdc && tar xzf pedi-growth-core-*.tgz -C who && tar xzf rcpch-*.tgz -C cdc
//   node scripts/make-growth-reference.js /tmp/who/package /tmp/cdc/package > data/growth-reference.json
//
// No dependencies. The same package versions give the same file, byte for byte.
'use strict';
const fs = require('fs');
const path = require('path');

const [whoDir, cdcDir] = process.argv.slice(2);
if (!whoDir || !cdcDir) {
    process.stderr.write('usage: make-growth-reference.js <@pedi-growth/core folder> <@rcpch/... folder>\n');
    process.exit(2);
}
const whoPkg = JSON.parse(fs.readFileSync(path.join(whoDir, 'package.json'), 'utf8'));
const cdcPkg = JSON.parse(fs.readFileSync(path.join(cdcDir, 'package.json'), 'utf8'));

// ---- WHO 2006: the LMS tables by day.
function whoTable(indicator, sex, fromDay, toDay, position) {
    const rows = JSON.parse(
        fs.readFileSync(path.join(whoDir, 'dist', 'data', `${indicator}-${sex}-0-5.json`), 'utf8'));
    const kept = rows.filter((r) => r.age >= fromDay && r.age <= toDay);
    kept.forEach((r, i) => {
        if (r.age !== fromDay + i) throw new Error(`${indicator} ${sex}: day ${fromDay + i} missing`);
    });
    const out = { source: 'WHO', ageUnit: 'day' };
    if (position) out.position = position;
    out.ages = kept.map((r) => r.age);
    out.L = kept.map((r) => r.L);
    out.M = kept.map((r) => r.M);
    out.S = kept.map((r) => r.S);
    return out;
}

// ---- CDC 2000: the published centile columns, as the chart package carries them.
const source = fs.readFileSync(path.join(cdcDir, 'build', 'index.js'), 'utf8');
function literalAt(start) {
    let depth = 0;
    for (let i = start; i < source.length; i++) {
        const c = source[i];
        if (c === '{' || c === '[') depth++;
        else if (c === '}' || c === ']') {
            depth--;
            if (depth === 0) return source.slice(start, i + 1);
        }
    }
    throw new Error('unbalanced chart data at ' + start);
}
const cdcLines = {}; // sex -> measure -> lines
const find = /=\{centile_data:\[/g;
let m;
while ((m = find.exec(source))) {
    const text = literalAt(m.index + 1);
    if (!/^[\s\w:.,{}[\]"'+-]*$/.test(text)) throw new Error('unexpected content in chart data');
    const data = Function('"use strict"; return (' + text + ');')();
    for (const entry of data.centile_data)
        for (const [reference, sexes] of Object.entries(entry))
            if (reference === 'cdc_child')
                for (const [sex, measures] of Object.entries(sexes || {}))
                    for (const [measure, lines] of Object.entries(measures || {}))
                        if (lines && lines.length && lines[0].data) {
                            cdcLines[sex] = cdcLines[sex] || {};
                            if (!cdcLines[sex][measure]) cdcLines[sex][measure] = lines;
                        }
}

// The SDS of a centile (Acklam's inverse normal, refined by one Newton step on erfc).
function erfc(x) {
    // Numerical Recipes' erfc, relative error below 1.2e-7, refined below by Newton's step.
    const z = Math.abs(x);
    const t = 1 / (1 + 0.5 * z);
    const r = t * Math.exp(-z * z - 1.26551223 + t * (1.00002368 + t * (0.37409196 + t * (0.09678418 +
        t * (-0.18628806 + t * (0.27886807 + t * (-1.13520398 + t * (1.48851587 +
        t * (-0.82215223 + t * 0.17087277)))))))));
    return x >= 0 ? r : 2 - r;
}
function zOfCentile(c) {
    let lo = -8, hi = 8;
    for (let i = 0; i < 100; i++) {
        const mid = (lo + hi) / 2;
        if (50 * erfc(-mid / Math.SQRT2) < c) lo = mid;
        else hi = mid;
    }
    return (lo + hi) / 2;
}

// L, M and S that give the columns `values` at the SDS `zs`; the largest error, in SDS.
function fitLms(zs, values) {
    const n = zs.length;
    function lineFor(L) {
        const ys = values.map((v) => (Math.abs(L) < 1e-9 ? Math.log(v) : Math.pow(v, L)));
        const zm = zs.reduce((a, b) => a + b) / n, ym = ys.reduce((a, b) => a + b) / n;
        let sxy = 0, sxx = 0;
        for (let i = 0; i < n; i++) {
            sxy += (zs[i] - zm) * (ys[i] - ym);
            sxx += (zs[i] - zm) * (zs[i] - zm);
        }
        const b = sxy / sxx, a = ym - b * zm;
        let M, S;
        if (Math.abs(L) < 1e-9) {
            M = Math.exp(a);
            S = b;
        } else {
            M = Math.pow(a, 1 / L);
            S = b / (a * L);
        }
        let worst = 0;
        for (let i = 0; i < n; i++) {
            const z = Math.abs(L) < 1e-9 ? Math.log(values[i] / M) / S
                                         : (Math.pow(values[i] / M, L) - 1) / (L * S);
            worst = Math.max(worst, Math.abs(z - zs[i]));
        }
        return { L, M, S, worst };
    }
    // The error as a function of L is searched on a grid, then narrowed by golden sections.
    let best = null;
    for (let L = -6; L <= 6; L += 0.01) {
        const f = lineFor(L);
        if (Number.isFinite(f.worst) && (!best || f.worst < best.worst)) best = f;
    }
    let a = best.L - 0.01, b = best.L + 0.01;
    const g = (Math.sqrt(5) - 1) / 2;
    for (let i = 0; i < 60; i++) {
        const c = b - g * (b - a), d = a + g * (b - a);
        if (lineFor(c).worst < lineFor(d).worst) b = d;
        else a = c;
    }
    return lineFor((a + b) / 2);
}

let worstFit = 0;
function cdcTable(sex, measure, maxCentile) {
    const lines = cdcLines[sex] && cdcLines[sex][measure];
    if (!lines) throw new Error(`no CDC ${sex} ${measure} in the chart package`);
    const used = lines.filter((l) => l.centile <= maxCentile);
    const zs = used.map((l) => zOfCentile(l.centile));
    const byAge = used.map((l) => new Map(l.data.map((p) => [Math.round(p.x * 24) / 2, p.y])));
    const months = [...byAge[0].keys()].filter((mo) => mo >= 24 && mo <= 240).sort((x, y) => x - y);
    const out = { source: 'CDC', ageUnit: 'month', position: measure === 'height' ? 'standing' : undefined,
                  ages: [], L: [], M: [], S: [] };
    if (!out.position) delete out.position;
    for (const mo of months) {
        const values = byAge.map((b) => b.get(mo));
        if (values.some((v) => typeof v !== 'number')) throw new Error(`CDC ${sex} ${measure}: gap at ${mo}`);
        const f = fitLms(zs, values);
        worstFit = Math.max(worstFit, f.worst);
        out.ages.push(mo);
        out.L.push(Number(f.L.toFixed(5)));
        out.M.push(Number(f.M.toFixed(5)));
        out.S.push(Number(f.S.toFixed(6)));
    }
    return out;
}

const result = {
    about: {
        what: 'Growth references as L, M and S by age, girls and boys: weight (kg), length lying to 730 ' +
            'days and height standing after (cm), head circumference (cm) and BMI (kg/m2, from 2 years). WHO 2006 child ' +
            'growth standards by day (ageUnit "day") from birth to 1856 days; CDC 2000 growth charts by ' +
            'month (ageUnit "month") from 24 to 240 months (weight, stature, BMI).',
        who: `npm package ${whoPkg.name} ${whoPkg.version}, dist/data/{wfa,lhfa,hcfa,bfa}-{girls,boys}-0-5.json, ` +
            'the WHO anthro R package\'s tables (GPL-3.0, World Health Organization); the package\'s code ' +
            `is under the ${whoPkg.license} licence.`,
        cdc: `npm package ${cdcPkg.name} ${cdcPkg.version}, build/index.js, chart cdc_child: the CDC's ` +
            'published centile columns (public domain), read back into L, M and S at each age by ' +
            'scripts/make-growth-reference.js (the largest error of that fit is ' +
            'printed when the file is made).',
        madeBy: 'scripts/make-growth-reference.js',
    },
};
for (const [name, who, cdc] of [['girl', 'girls', 'female'], ['boy', 'boys', 'male']]) {
    result[name] = {
        weight: [whoTable('wfa', who, 0, 1856), cdcTable(cdc, 'weight', 97)],
        height: [whoTable('lhfa', who, 0, 730, 'lying'), whoTable('lhfa', who, 731, 1856, 'standing'),
                 cdcTable(cdc, 'height', 97)],
        head: [whoTable('hcfa', who, 0, 1856)],
        bmi: [whoTable('bfa', who, 731, 1856, 'standing'), cdcTable(cdc, 'bmi', 95)],
    };
}
process.stderr.write(`CDC columns read back into L, M and S: largest error ${worstFit.toFixed(5)} SDS\n`);

// One line per array of numbers keeps the file short and its differences readable.
function write(value, indent) {
    const pad = '  '.repeat(indent);
    if (Array.isArray(value)) {
        if (value.every((v) => typeof v !== 'object')) return JSON.stringify(value);
        return '[\n' + value.map((v) => pad + '  ' + write(v, indent + 1)).join(',\n') + '\n' + pad + ']';
    }
    if (value && typeof value === 'object')
        return '{\n' + Object.entries(value).map(([k, v]) => pad + '  ' + JSON.stringify(k) + ': ' +
            write(v, indent + 1)).join(',\n') + '\n' + pad + '}';
    return JSON.stringify(value);
}
process.stdout.write(write(result, 0) + '\n');
