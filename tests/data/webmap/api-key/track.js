/* -------------------------------------*/
/* Google Maps表示用　JavaScriptファイル */
/* -------------------------------------*/


/* [グローバル変数] */
var map;
var points = new Array();
var count1 = 0;
var count2 = 3;
var dispLineObj;
var timer;
var divUnit = 100;
var roopCount;
var odd;
var divData; // 2次元配列
var LineNum;
var N;
var polyObj;
var mode; // 0:Trail, 1:Draw
var stopStatus = false;
var Drawflag = false;
var startflag = false;
var CurrentN; /* 一時停止用に分割数を保持する */
var flagDrawEnd; /* 描画しているか */

/* パラメータ設定用 */
var lineColor = "#ff0000";
var lineWidth = 3;
var lineTrans = 0.7;
var midPoint = new GLatLng(34.009498, 135.009506);
var minPoint = new GLatLng(34.000000, 135.000009);
var maxPoint = new GLatLng(34.018996, 135.019004);



/* [関数]地図データのセット */
function setMap()
{
	map = new GMap(document.getElementById("map"));
	map.addControl(new GLargeMapControl());
	map.addControl(new GMapTypeControl());
	map.addControl(new GScaleControl());
	map.setMapType(G_NORMAL_MAP);
	map.addControl(new GOverviewMapControl());
	map.setCenter( midPoint, map.getBoundsZoomLevel(new GLatLngBounds(minPoint, maxPoint)) );

	/* データ取得 */
	pushData();

	/* トラック表示 */
	displayLine();
}




/* [関数]Trackデータを表示 */
function displayLine()
{

	map.addOverlay(dispLineObj = new GPolyline(points, lineColor , lineWidth , lineTrans));
	flagDrawEnd = true;

}




/* [関数]Trackデータを尾引き表示呼び出し関数 */
function trackLine()
{

	if(Drawflag == true){
		return;
	}else{
		Drawflag = true;
	}
	
	startflag = true; // 実行開始

	mode = 0; // Trailモード

	/* 線の削除 */
	try { map.removeOverlay(dispLineObj); }catch(e){}


	/* 尾引き表示 */
	displayTailLine();

}




/* [関数]尾引きしながら表示 */
function displayTailLine()
{

	var displine = new Array();
	var tail = 3;

	for (var i=count2-tail; i<count2; i++) {

		displine.push(points[i]);

	}

    /* 描画実行 */
	try { map.removeOverlay(polyObj); }catch(e){}
	try { map.addOverlay(polyObj = new GPolyline(displine, lineColor , lineWidth , lineTrans)); }catch(e){}

	if (count2++ < points.length){

		 timer = setTimeout("displayTailLine()", parseInt(document.getElementById("Speed").value));

	}


	/* 最後まで到達 */
	if(count2 == points.length+1){

		clearTimeout(timer);

		TrackEndProcess();

	}

}




/* [関数]Trackデータを描画表示の呼び出し関数 */
function drawLine()
{

	if(Drawflag == true)
	{
		return;
	}

	mode = 1; /* Drawモード */

	startflag = true; // 実行開始
	Drawflag = true;

	/* 描画の準備 */
	drawLineSetting();
	
	/* 線の削除 */
	try { map.removeOverlay(dispLineObj); }catch(e){}

    /* 値の初期化 */
	count1 = LineNum = 0;

	/* 描画表示 */
	displayDivDrawLine(divUnit);

}




/* [関数]Trackデータを描画表示（速度を考慮し分割表示） */
/* (引数）LineNum:データグループ番号、N:グループのデータ数 */
function displayDivDrawLine(N)
{
	var i, j;
	var displine = new Array();

	for (i=0; i<count1; i++) {

		/* LineNumグループのcount1番目までをデータプッシュ */
		displine.push(divData[LineNum][i]);

	}

    /* 描画実行 */
	try { map.removeOverlay(polyObj[LineNum]); }catch(e){}
	try { map.addOverlay(polyObj[LineNum] = new GPolyline(displine, lineColor , lineWidth , lineTrans)); }catch(e){}
	

	if (count1++ < (N+1)){ /* LineNumグループを描画(N+1となっているのは繋ぎでの途切れ防止 */

		CurrentN = N;
		timer = setTimeout("displayDivDrawLine("+ N + ")", parseInt(document.getElementById("Speed").value) );

	}
	else if( (LineNum+1) < roopCount ){ /* LineNumグループを終了し、LineNum+1グループを対象にする */

		count1 = 0;
		LineNum++;

		displayDivDrawLine(divUnit);

	}
	else if( (LineNum+1) == roopCount ){ /* LineNumの最後のグループ（データ数が端数となる）*/

		count1 = 0;
		LineNum++;

		displayDivDrawLine(odd);

	}else{ /* 終了処理 */

        setTimeout("DrawEndProcess()", 1000); /* 1秒待ってから */

    }

}




/* [関数]描画の前処理 */
function drawLineSetting()
{
	var i, j;

	roopCount = Math.floor( points.length/divUnit );
	odd = points.length % divUnit;

	polyObj = new Array(roopCount);
	divData = new Array(divUnit+1); /* +1は100単位で分けるときの繋ぎ */


	/* 2次元配列の作成 */
	for (i = 0; i < (roopCount+1); i++) { /* +1は端数用領域 */

		divData[i] = new Array((roopCount+1));

	}


	/* データのコピー */
	for (i = 0; i < roopCount; i++) {
		for (j = 0; j < (divUnit + 1); j++) {

			divData[i][j] = points[ i*divUnit + j ]

		}
	}

	for(j=0; j<odd; j++) { /* 端数データ格納 */

		divData[roopCount][j] = points[ roopCount*divUnit + j ];

	}

}




/* [関数]一時停止 */
function stopRoute(obj) 
{

    if(startflag == false){
        return;
    }

    
	/* 動作→停止 */
    if(stopStatus == false){
    
    	stopStatus = true;
	    obj.value = "再開";
    
	    switch(mode){
	    case 0: /* Trailモード */

		    window.clearTimeout(timer);
		    break;

	    case 1: /* Drawモード */

		    window.clearTimeout(timer);
		    break;

	    }
    
    }else if(stopStatus == true){ /* 停止→動作 */
    

	    stopStatus = false;
	    obj.value = "停止";		
	    
   
	    switch(mode){
	    case 0: /* Trailモード */

		    displayTailLine();
		    break;

	    case 1: /* Drawモード */

		    displayDivDrawLine(CurrentN);
		    break;

	    }	   
	    
    }

}




/* [関数]最終処理(尾引き表示用) */
function TrackEndProcess()
{
	/* 表示を消す */
	setTimeout("map.removeOverlay(polyObj)", 1000);

	/* トラックを再表示 */
	setTimeout("displayLine()", 1000);

	/* カウンターリセット */
	count1 = 0;
	count2 = 3;

    stopStatus = false;
	Drawflag = false;
	startflag = false;
}




/* [関数]最終処理(描画表示用) */
function DrawEndProcess()
{
    var i;
    
    /* 表示の消去 */
    for(i=0; i<(roopCount+1) ;i++){

        try { map.removeOverlay(polyObj[i]); }catch(e){}

    }
    
	/* トラックを再表示 */
	setTimeout("displayLine()", 1000);
       
    stopStatus = false;
    Drawflag = false;
    startflag = false;

}




/* [関数]描画ON/OFF(ルート再生OFF時) */
function routeOnOff(obj)
{

	/* 消去する場合 */
    if(flagDrawEnd == true){

    	flagDrawEnd = false;
	    obj.value = "描画";
		eraseLine();


    }else if(flagDrawEnd == false){ /* 描画する場合 */

    	flagDrawEnd = true;
	    obj.value = "消去";
	    displayLine();
    }

}




/* [関数]緯度・経度データをプッシュ */
function pushData()
{
	points.push(new GLatLng(34.000000, 135.000009));
	points.push(new GLatLng(34.001001, 135.001007));
	points.push(new GLatLng(34.002001, 135.002005));
	points.push(new GLatLng(34.003002, 135.003003));
	points.push(new GLatLng(34.004002, 135.004004));
	points.push(new GLatLng(34.004996, 135.005005));
	points.push(new GLatLng(34.005997, 135.005998));
	points.push(new GLatLng(34.007001, 135.006999));
	points.push(new GLatLng(34.008004, 135.008000));
	points.push(new GLatLng(34.009005, 135.009001));
	points.push(new GLatLng(34.010006, 135.010002));
	points.push(new GLatLng(34.010999, 135.011003));
	points.push(new GLatLng(34.012000, 135.012004));
	points.push(new GLatLng(34.013000, 135.013005));
	points.push(new GLatLng(34.014001, 135.014006));
	points.push(new GLatLng(34.015001, 135.015007));
	points.push(new GLatLng(34.016002, 135.016008));
	points.push(new GLatLng(34.016995, 135.017008));
	points.push(new GLatLng(34.017996, 135.018006));
	points.push(new GLatLng(34.018996, 135.019004));

}
